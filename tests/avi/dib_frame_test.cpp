#include "avi/dib_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace senki {
namespace {

TEST(DibFrameTest, FrameBufferBytesRoundsTheWidthUpToFourPixels)
{
    const struct {
        int width, height, bits;
        std::int64_t bytes;
    } rows[] = {
        {560, 375, 16, 420000}, {560, 375, 24, 630000}, {321, 1, 24, 972}, {321, 1, 16, 648},
        {65535, 65535, 24, std::int64_t(65536) * 65535 * 3},  // no 32-bit overflow
    };
    for (const auto& row : rows)
        EXPECT_EQ(FrameBufferBytes(row.width, row.height, row.bits), row.bytes) << row.width << "x" << row.height;
    EXPECT_EQ(DibRowBytes(321, 24), 964u);
    EXPECT_EQ(DibRowBytes(3, 16), 8u);
}

TEST(DibFrameTest, ConvertsBottomUpWithZeroPadding)
{
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(2, 0, qRgb(0, 0, 255));
    picture.setPixel(0, 1, qRgb(8, 16, 24));
    picture.setPixel(1, 1, qRgb(255, 255, 255));
    picture.setPixel(2, 1, qRgb(7, 7, 7));  // below one 5-bit step

    BitmapInfoHeader info;
    info.biWidth = 3;
    info.biHeight = 2;
    info.biBitCount = 16;
    std::vector<std::uint8_t> frame(24, 0xEE);  // 8-byte rows plus 8 spare bytes
    ASSERT_TRUE(ConvertToDib(picture, info, frame.data(), frame.size()));
    const std::vector<std::uint8_t> expected16 = {
        0x43, 0x04, 0xFF, 0x7F, 0x00, 0x00, 0, 0,  // bottom row first: (8,16,24), white, (7,7,7)
        0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0,  // red, green, blue
        0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(frame, expected16);

    info.biBitCount = 24;
    frame.assign(24, 0xEE);  // 12-byte rows
    ASSERT_TRUE(ConvertToDib(picture.convertToFormat(QImage::Format_RGB888), info, frame.data(), frame.size()));
    const std::vector<std::uint8_t> expected24 = {24, 16, 8, 255, 255, 255, 7, 7, 7, 0, 0, 0,
                                                  0,  0,  255, 0, 255, 0, 255, 0, 0, 0, 0, 0};
    EXPECT_EQ(frame, expected24);
}

TEST(DibFrameTest, RefusesMismatchedPicturesAndSmallBuffers)
{
    BitmapInfoHeader info;
    info.biWidth = 4;
    info.biHeight = 4;
    info.biBitCount = 16;
    std::vector<std::uint8_t> frame(32);
    EXPECT_FALSE(ConvertToDib(QImage(5, 4, QImage::Format_RGB32), info, frame.data(), frame.size()));
    EXPECT_FALSE(ConvertToDib(QImage(4, 4, QImage::Format_RGB32), info, frame.data(), 31));
    info.biBitCount = 8;
    EXPECT_FALSE(ConvertToDib(QImage(4, 4, QImage::Format_RGB32), info, frame.data(), frame.size()));
}

}  // namespace
}  // namespace senki
