#pragma once
// Where the campaign history lies inside a save file.
//
// A save file is a fixed part holding the game's own state, followed by the
// history area: one 123-byte record per half month. Only two counts of the
// fixed part matter to us, because they size two of its variable segments.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace senki {

inline constexpr std::int64_t kBlock720CountOffset = 376;  // count of the later, 720-byte blocks
inline constexpr std::int64_t kBlock544CountOffset = 380;  // count of the earlier, 544-byte blocks
inline constexpr std::int64_t kCountsEnd = 384;            // a file shorter than this has no counts
inline constexpr std::int64_t kFixedPartBase = 746824;     // the fixed part with no variable blocks

// Offset F at which the history area begins. A count of zero or less adds
// nothing. Computed in 64 bits: the counts may be anything a file holds.
std::int64_t FixedPartLength(std::int32_t block544Count, std::int32_t block720Count);

// Reads a signed 32-bit little-endian integer, whatever the host's byte order
// and whatever the pointer's alignment.
std::int32_t ReadInt32LE(const std::uint8_t* bytes);

// The offset of the history area in a file of `fileLength` bytes whose first
// bytes are `head` (at least the first kCountsEnd bytes when the file has that
// many). No value when the file has no byte after its fixed part.
std::optional<std::int64_t> LocateHistory(const std::uint8_t* head, std::size_t headLength,
                                          std::int64_t fileLength);

}  // namespace senki
