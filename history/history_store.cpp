#include "history/history_store.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace senki {

std::int32_t HistoryStore::LastChartIndex() const
{
    return std::min(lastIndex_, kSeriesTableLength - 1);
}

HistoryRecord HistoryStore::ReadRecord(std::int32_t index) const
{
    if (!HoldsRecord(index))
        throw std::out_of_range("record " + std::to_string(index) + " is not in the history");
    return DecodeRecord(historyData_.data() + std::size_t(index) * kRecordSize);
}

void HistoryStore::Replace(std::vector<std::uint8_t> historyArea)
{
    const std::size_t count = historyArea.size() / kRecordSize;
    if (count == 0)
        throw std::invalid_argument("a history area without a whole record cannot be stored");
    if (count > std::size_t(INT32_MAX))
        throw std::length_error("the history holds more records than can be indexed");
    historyData_ = std::move(historyArea);
    lastIndex_ = std::int32_t(count - 1);
    for (std::int32_t i = 0; i <= LastChartIndex(); ++i) {
        const HistoryRecord record = ReadRecord(i);
        for (int s = 0; s < kSeriesCount; ++s)
            seriesTable_[s][i] = record.SeriesValues[s];
    }
    loaded_ = true;
}

}  // namespace senki
