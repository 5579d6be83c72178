#pragma once
// Four-character codes, packed with the first character in the lowest byte.

#include <cstdint>
#include <string>

namespace senki {

constexpr std::uint32_t FourCC(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8 |
           std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

inline std::string FourCCText(std::uint32_t code)
{
    return {char(code & 0xFF), char((code >> 8) & 0xFF), char((code >> 16) & 0xFF), char(code >> 24)};
}

inline constexpr std::uint32_t kStreamTypeVideo = FourCC("vids");
inline constexpr std::uint32_t kFullFramesHandler = FourCC("DIB ");

}  // namespace senki
