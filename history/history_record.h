#pragma once
// One half month of the campaign history, as the save file stores it.

#include <array>
#include <cstdint>

namespace senki {

inline constexpr int kRecordSize = 123;
inline constexpr int kProvinceCount = 110;
inline constexpr int kSeriesCount = 3;

// The packed 123-byte record: an uninterpreted byte, three signed 32-bit
// little-endian values at offsets 1, 5 and 9, and one owner code per province
// 0..109 at offsets 13..122.
struct HistoryRecord {
    std::uint8_t Byte0 = 0;
    std::array<std::int32_t, kSeriesCount> SeriesValues{};
    std::array<std::uint8_t, kProvinceCount> OwnerCodes{};
};

// Decodes the kRecordSize bytes at `bytes`.
HistoryRecord DecodeRecord(const std::uint8_t* bytes);

// The inverse of DecodeRecord, for tools and tests that write save files.
void EncodeRecord(const HistoryRecord& record, std::uint8_t* bytes);

}  // namespace senki
