#pragma once
// The loaded campaign history: the raw history area, the index of its last
// whole record and the chart values of the first 256 records.

#include "history/history_record.h"

#include <array>
#include <cstdint>
#include <vector>

namespace senki {

inline constexpr int kSeriesTableLength = 256;
using SeriesColumn = std::array<std::int32_t, kSeriesTableLength>;
using SeriesTableArray = std::array<SeriesColumn, kSeriesCount>;

class HistoryStore {
public:
    // False until the first history is stored; never false again.
    bool Loaded() const { return loaded_; }
    // Index of the last whole record; -1 before the first load. Not capped at 255.
    std::int32_t LastIndex() const { return lastIndex_; }
    // The largest record index with chart values: min(LastIndex, 255).
    std::int32_t LastChartIndex() const;
    // [s][i] is value s of record i, for i up to LastChartIndex().
    const SeriesTableArray& SeriesTable() const { return seriesTable_; }
    // The history area as the file holds it, a trailing part record included.
    const std::vector<std::uint8_t>& HistoryData() const { return historyData_; }

    bool HoldsRecord(std::int64_t index) const { return index >= 0 && index <= lastIndex_; }
    // Record `index`, decoded. Throws std::out_of_range for an index that the
    // store does not hold, so no caller can read past the history area.
    HistoryRecord ReadRecord(std::int32_t index) const;

    // Replaces the whole store with a history area that holds at least one
    // whole record, and decodes the chart values of records 0..255.
    // Chart values above the new LastChartIndex() keep what they held.
    void Replace(std::vector<std::uint8_t> historyArea);

private:
    std::vector<std::uint8_t> historyData_;
    std::int32_t lastIndex_ = -1;
    SeriesTableArray seriesTable_{};
    bool loaded_ = false;
};

}  // namespace senki
