#pragma once
// Device-independent bitmap frames: the 40-byte BITMAPINFOHEADER that
// describes one frame, and the conversion of a picture into a bottom-up
// BI_RGB frame of 16 or 24 bits per pixel.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace senki {

inline constexpr std::uint32_t kBiRgb = 0;  // biCompression of uncompressed frames

struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;  // positive: rows are stored from the bottom up
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = kBiRgb;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

inline constexpr std::size_t kBitmapInfoHeaderBytes = 40;

// The header as it is stored in a file: 40 little-endian bytes.
std::vector<std::uint8_t> SerializeBitmapInfoHeader(const BitmapInfoHeader& header);

// Bytes of one row of a BI_RGB frame: the pixels, padded to a multiple of 4.
std::size_t DibRowBytes(int width, int bitCount);

// The buffer size of one frame as the writer reckons it: the width rounded
// up to a multiple of 4 pixels, times the height, times the bytes per pixel.
// It is never smaller than the padded frame. Computed in 64 bits so that no
// frame geometry overflows.
std::int64_t FrameBufferBytes(int width, int height, int bitCount);

// Writes `picture` (already width × height of `info`) into `out` as a
// bottom-up BI_RGB frame of info.biBitCount (16: little-endian RGB555 with the
// top bit 0; 24: blue, green, red). Row padding and any bytes beyond the frame
// up to `outBytes` are zero. Returns false when the picture does not match
// `info` or `out` is too small.
bool ConvertToDib(const QImage& picture, const BitmapInfoHeader& info, std::uint8_t* out,
                  std::size_t outBytes);

}  // namespace senki
