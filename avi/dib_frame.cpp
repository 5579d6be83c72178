#include "avi/dib_frame.h"

#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace senki {

static_assert(std::endian::native == std::endian::little, "frames are stored little-endian");

namespace {

void Put16(std::uint8_t*& out, std::uint16_t value)
{
    out[0] = std::uint8_t(value);
    out[1] = std::uint8_t(value >> 8);
    out += 2;
}

void Put32(std::uint8_t*& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = std::uint8_t(value >> (8 * i));
    out += 4;
}

// 0xAARRGGBB to X1R5G5B5.
inline std::uint16_t ToRgb555(std::uint32_t pixel)
{
    return std::uint16_t(((pixel >> 9) & 0x7C00) | ((pixel >> 6) & 0x03E0) | ((pixel >> 3) & 0x001F));
}

void ConvertRow555(const std::uint32_t* in, std::uint16_t* out, int width)
{
    int x = 0;
#ifdef __SSE2__
    // Eight pixels at a time: the three fields shifted into place in 32-bit
    // lanes, then packed to 16 bits (every result is below 0x8000, so the
    // signed saturation of the pack never bites).
    const __m128i red = _mm_set1_epi32(0x7C00), green = _mm_set1_epi32(0x03E0), blue = _mm_set1_epi32(0x001F);
    auto fields = [&](__m128i p) {
        return _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, 9), red),
                                         _mm_and_si128(_mm_srli_epi32(p, 6), green)),
                            _mm_and_si128(_mm_srli_epi32(p, 3), blue));
    };
    for (; x + 8 <= width; x += 8) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packs_epi32(fields(low), fields(high)));
    }
#endif
    for (; x < width; ++x)
        out[x] = ToRgb555(in[x]);
}

void ConvertRow24(const std::uint32_t* in, std::uint8_t* out, int width)
{
    for (int x = 0; x < width; ++x) {
        const std::uint32_t pixel = in[x];
        out[3 * x] = std::uint8_t(pixel);
        out[3 * x + 1] = std::uint8_t(pixel >> 8);
        out[3 * x + 2] = std::uint8_t(pixel >> 16);
    }
}

}  // namespace

std::vector<std::uint8_t> SerializeBitmapInfoHeader(const BitmapInfoHeader& h)
{
    std::vector<std::uint8_t> bytes(kBitmapInfoHeaderBytes);
    std::uint8_t* out = bytes.data();
    Put32(out, h.biSize);
    Put32(out, std::uint32_t(h.biWidth));
    Put32(out, std::uint32_t(h.biHeight));
    Put16(out, h.biPlanes);
    Put16(out, h.biBitCount);
    Put32(out, h.biCompression);
    Put32(out, h.biSizeImage);
    Put32(out, std::uint32_t(h.biXPelsPerMeter));
    Put32(out, std::uint32_t(h.biYPelsPerMeter));
    Put32(out, h.biClrUsed);
    Put32(out, h.biClrImportant);
    return bytes;
}

std::size_t DibRowBytes(int width, int bitCount)
{
    return ((std::size_t(width) * std::size_t(bitCount) / 8) + 3) & ~std::size_t(3);
}

std::int64_t FrameBufferBytes(int width, int height, int bitCount)
{
    return (std::int64_t(width) + 3) / 4 * 4 * std::int64_t(height) * (bitCount / 8);
}

bool ConvertToDib(const QImage& picture, const BitmapInfoHeader& info, std::uint8_t* out,
                  std::size_t outBytes)
{
    const int width = info.biWidth, height = info.biHeight;
    const int bits = info.biBitCount;
    if ((bits != 16 && bits != 24) || width < 0 || height < 0 || picture.width() != width ||
        picture.height() != height)
        return false;
    const std::size_t rowBytes = DibRowBytes(width, bits);
    if (outBytes < rowBytes * std::size_t(height))
        return false;

    // Both 32-bit formats keep the colour in the low 24 bits; the fourth byte
    // takes no part.
    const bool direct =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32;
    const QImage converted = direct ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    const QImage& source = direct ? picture : converted;

    const std::size_t pixelBytes = std::size_t(width) * std::size_t(bits / 8);
    for (int row = 0; row < height; ++row) {
        // Bottom-up: the first stored row is the picture's last.
        const auto* in = reinterpret_cast<const std::uint32_t*>(source.constScanLine(height - 1 - row));
        std::uint8_t* dst = out + std::size_t(row) * rowBytes;
        if (bits == 16)
            ConvertRow555(in, reinterpret_cast<std::uint16_t*>(dst), width);
        else
            ConvertRow24(in, dst, width);
        if (rowBytes > pixelBytes)
            std::memset(dst + pixelBytes, 0, rowBytes - pixelBytes);
    }
    const std::size_t used = rowBytes * std::size_t(height);
    if (outBytes > used)
        std::memset(out + used, 0, outBytes - used);
    return true;
}

}  // namespace senki
