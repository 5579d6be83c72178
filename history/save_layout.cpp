#include "history/save_layout.h"

namespace senki {

std::int64_t FixedPartLength(std::int32_t block544Count, std::int32_t block720Count)
{
    const std::int64_t b544 = block544Count > 0 ? block544Count : 0;
    const std::int64_t b720 = block720Count > 0 ? block720Count : 0;
    return kFixedPartBase + 544 * b544 + 720 * b720;
}

std::int32_t ReadInt32LE(const std::uint8_t* bytes)
{
    const std::uint32_t value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int64_t> LocateHistory(const std::uint8_t* head, std::size_t headLength,
                                          std::int64_t fileLength)
{
    if (fileLength < kCountsEnd || headLength < std::size_t(kCountsEnd))
        return std::nullopt;
    const std::int64_t f = FixedPartLength(ReadInt32LE(head + kBlock544CountOffset),
                                           ReadInt32LE(head + kBlock720CountOffset));
    if (fileLength <= f)
        return std::nullopt;
    return f;
}

}  // namespace senki
