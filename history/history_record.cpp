#include "history/history_record.h"

#include "history/save_layout.h"

#include <algorithm>

namespace senki {

namespace {
constexpr int kSeriesOffset = 1;
constexpr int kOwnerOffset = 13;
}  // namespace

HistoryRecord DecodeRecord(const std::uint8_t* bytes)
{
    HistoryRecord record;
    record.Byte0 = bytes[0];
    for (int s = 0; s < kSeriesCount; ++s)
        record.SeriesValues[s] = ReadInt32LE(bytes + kSeriesOffset + 4 * s);
    std::copy_n(bytes + kOwnerOffset, kProvinceCount, record.OwnerCodes.begin());
    return record;
}

void EncodeRecord(const HistoryRecord& record, std::uint8_t* bytes)
{
    bytes[0] = record.Byte0;
    for (int s = 0; s < kSeriesCount; ++s) {
        const auto value = static_cast<std::uint32_t>(record.SeriesValues[s]);
        for (int b = 0; b < 4; ++b)
            bytes[kSeriesOffset + 4 * s + b] = std::uint8_t(value >> (8 * b));
    }
    std::copy(record.OwnerCodes.begin(), record.OwnerCodes.end(), bytes + kOwnerOffset);
}

}  // namespace senki
