#include "movie_probe.h"
#include "writer_fixture.h"

#include "avi/save_options_dialog.h"

#include <QFile>
#include <QPainter>

#include <filesystem>

namespace senki {
namespace {

using testing::DecodeFrame;
using testing::ProbeVideo;
using testing::TestPicture;
using testing::WriterTest;

TEST(AviWriterPropertiesTest, DefaultsAndSetterRules)
{
    TAviWriter writer;
    EXPECT_TRUE(writer.FileName().isEmpty());
    EXPECT_EQ(writer.Width(), 320);
    EXPECT_EQ(writer.Height(), 240);
    EXPECT_TRUE(writer.Compress());
    EXPECT_FALSE(writer.PreCompress());
    EXPECT_EQ(writer.FrameRate(), 30);
    EXPECT_EQ(writer.BitDepth(), 16);
    EXPECT_FALSE(writer.IsBusy());

    const std::pair<int, int> frameRates[] = {{0, 1}, {-5, 1}, {1, 1}, {17, 17}, {30, 30}, {31, 30}, {1000, 30}};
    for (const auto& [assigned, held] : frameRates) {
        writer.SetFrameRate(assigned);
        EXPECT_EQ(writer.FrameRate(), held) << "assigned " << assigned;
    }
    // Only the low 8 bits of the value count: 280 is 24 + 256.
    const std::pair<int, int> bitDepths[] = {{8, 16}, {32, 16}, {0, 16}, {16, 16}, {24, 24}, {280, 24}, {272, 16}};
    for (const auto& [assigned, held] : bitDepths) {
        writer.SetBitDepth(assigned);
        EXPECT_EQ(writer.BitDepth(), held) << "assigned " << assigned;
    }
}

TEST_F(WriterTest, WritesSixteenBitFramesThatFfmpegReadsBack)
{
    Configure("war.avi", 560, 375);
    ASSERT_TRUE(writer.Open());
    EXPECT_TRUE(writer.IsBusy());
    EXPECT_EQ(writer.FrameBytes(), 420000);
    EXPECT_EQ(writer.FrameInfo().biBitCount, 16);
    EXPECT_EQ(writer.FrameInfo().biHeight, 375);
    std::vector<QImage> pictures;
    for (int i = 0; i < 4; ++i) {
        pictures.push_back(TestPicture(560, 375, i));
        EXPECT_TRUE(writer.AddFrame(pictures.back()));
    }
    EXPECT_EQ(writer.FrameCounter(), 4);
    writer.Close();
    EXPECT_FALSE(writer.IsBusy());
    EXPECT_TRUE(boxes.empty());

    auto video = ProbeVideo(path);
    EXPECT_EQ(video["exit"], "0");
    EXPECT_EQ(video["stderr"], "");
    EXPECT_EQ(video["codec_name"], "rawvideo");
    EXPECT_EQ(video["pix_fmt"], "rgb555le");
    EXPECT_EQ(video["width"], "560");
    EXPECT_EQ(video["height"], "375");
    EXPECT_EQ(video["r_frame_rate"], "30/1");
    EXPECT_EQ(video["nb_read_frames"], "4");
    EXPECT_EQ(video["TAG:title"], "VIDEO");
    EXPECT_EQ(testing::PacketKeyFlags(path), "KKKK");
    EXPECT_EQ(std::filesystem::file_size(path) / 420000, 4u) << "no more than index and headers besides the frames";
    EXPECT_TRUE(DecodeFrame(path, 2, "rgb555le") == testing::ExpectedRgb555(pictures[2]));
}

TEST_F(WriterTest, WritesTwentyFourBitFramesWithPaddedRows)
{
    Configure("deep.avi", 98, 30);  // rows of 294 bytes, padded to 296
    writer.SetBitDepth(24);
    writer.SetFrameRate(12);
    ASSERT_TRUE(writer.Open());
    EXPECT_EQ(writer.FrameBytes(), 100 * 30 * 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(writer.AddFrame(TestPicture(98, 30, i)));
    writer.Close();

    auto video = ProbeVideo(path);
    EXPECT_EQ(video["pix_fmt"], "bgr24");
    EXPECT_EQ(video["r_frame_rate"], "12/1");
    EXPECT_EQ(video["nb_read_frames"], "3");
    EXPECT_TRUE(DecodeFrame(path, 1, "bgr24") == testing::ExpectedBgr24(TestPicture(98, 30, 1)));
}

TEST_F(WriterTest, MovieOfManyRiffPartsIsReadWhole)
{
    Configure("long.avi", 160, 120);  // 38,400 bytes a frame
    writer.SetFileLayout({std::uint64_t(256) << 10, 256});
    ASSERT_TRUE(writer.Open());
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(writer.AddFrame(TestPicture(160, 120, i)));
    writer.Close();
    ASSERT_TRUE(boxes.empty());

    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_GE(file.readAll().count("AVIX"), 4) << "the movie spans several RIFF parts";
    auto video = ProbeVideo(path);
    EXPECT_EQ(video["nb_read_frames"], "30");
    EXPECT_EQ(video["stderr"], "") << "ffprobe finds nothing amiss";
    EXPECT_EQ(testing::PacketKeyFlags(path), std::string(30, 'K'));
    // The last frame lies in the last part.
    EXPECT_TRUE(DecodeFrame(path, 29, "rgb555le") == testing::ExpectedRgb555(TestPicture(160, 120, 29)));
}

TEST_F(WriterTest, StretchesPicturesOfAnotherSizeAndSkipsNullOnes)
{
    Configure("stretch.avi", 64, 48);
    ASSERT_TRUE(writer.Open());
    QImage small(10, 10, QImage::Format_ARGB32);
    small.fill(qRgb(248, 0, 128));
    EXPECT_TRUE(writer.AddFrame(small));
    EXPECT_FALSE(writer.AddFrame(QImage())) << "nothing to draw";
    writer.Close();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(ProbeVideo(path)["nb_read_frames"], "1");
    QImage expected(64, 48, QImage::Format_RGB32);
    expected.fill(qRgb(248, 0, 128));
    EXPECT_TRUE(DecodeFrame(path, 0, "rgb555le") == testing::ExpectedRgb555(expected));
}

TEST_F(WriterTest, APictureChangedBetweenFramesIsConvertedAgain)
{
    Configure("changed.avi", 21, 8);  // eight-pixel steps and a tail; padded rows
    ASSERT_TRUE(writer.Open());
    QImage picture = TestPicture(21, 8, 0);
    EXPECT_TRUE(writer.AddFrame(picture));
    EXPECT_TRUE(writer.AddFrame(picture));
    picture.setPixel(3, 4, qRgb(255, 255, 255));
    EXPECT_TRUE(writer.AddFrame(picture));
    const QImage frame2 = picture.copy();
    {
        QPainter painter(&picture);
        EXPECT_TRUE(writer.AddFrame(picture));
        painter.fillRect(0, 0, 4, 4, Qt::red);  // the cache key stays; the picture does not
        EXPECT_TRUE(writer.AddFrame(picture));
    }
    writer.Close();
    EXPECT_TRUE(DecodeFrame(path, 4, "rgb555le") == testing::ExpectedRgb555(picture));
    EXPECT_TRUE(DecodeFrame(path, 1, "rgb555le") == testing::ExpectedRgb555(TestPicture(21, 8, 0)));
    EXPECT_TRUE(DecodeFrame(path, 2, "rgb555le") == testing::ExpectedRgb555(frame2));
}

TEST_F(WriterTest, CreatesMissingDirectoriesAndReplacesAnExistingFile)
{
    Configure("a/b.c/movie.avi", 32, 32);
    std::filesystem::create_directories(dir.Path() / "a" / "b.c");
    testing::WriteBytes(path, {'o', 'l', 'd'});
    ASSERT_TRUE(writer.Open());
    writer.Close();
    EXPECT_EQ(ProbeVideo(path)["width"], "32") << "a movie without frames replaced the old file";

    Configure("x/y/z/movie.avi", 32, 32);
    ASSERT_TRUE(writer.Open());
    EXPECT_TRUE(writer.AddFrame(TestPicture(32, 32, 0)));
    writer.Close();
    EXPECT_EQ(ProbeVideo(path)["nb_read_frames"], "1");
}

TEST_F(WriterTest, PreCompressesFrameByFrameWithTheChosenCodec)
{
    Configure("mjpeg.avi", 64, 48);
    writer.SetCompress(true);
    writer.SetPreCompress(true);
    answer = CompressorChoice{FourCC("MJPG"), 8000, 0, 0};
    ASSERT_TRUE(writer.Open());
    ASSERT_EQ(choiceRequests.size(), 1u);
    EXPECT_EQ(choiceRequests[0].title, QStringLiteral("ＡＶＩ圧縮方式選択"));
    ASSERT_FALSE(choiceRequests[0].codecs.empty());
    EXPECT_EQ(choiceRequests[0].codecs.front().handler, kFullFramesHandler);
    EXPECT_EQ(writer.GetStreamInfo().fccHandler, FourCC("MJPG"));
    EXPECT_EQ(writer.GetStreamInfo().dwQuality, 8000);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(writer.AddFrame(TestPicture(64, 48, i)));
    writer.Close();
    EXPECT_TRUE(boxes.empty());

    auto video = ProbeVideo(path);
    EXPECT_EQ(video["codec_name"], "mjpeg") << video["stderr"];
    EXPECT_EQ(video["codec_tag_string"], "MJPG");
    EXPECT_EQ(video["nb_read_frames"], "6");
    EXPECT_EQ(video["TAG:title"], "VIDEO");
    EXPECT_EQ(testing::PacketKeyFlags(path), "KKKKKK");
    // Lossy, but the right way up and in the right colours.
    const std::string decoded = DecodeFrame(path, 3, "rgb24");
    const QImage source = TestPicture(64, 48, 3).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(decoded.size(), std::size_t(64 * 48 * 3));
    long difference = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64 * 3; ++x)
            difference += std::abs(int(std::uint8_t(decoded[y * 64 * 3 + x])) - int(source.constScanLine(y)[x]));
    EXPECT_LT(difference / (64 * 48 * 3), 8);
}

TEST_F(WriterTest, PreCompressWithFullFramesChosenWritesUncompressedFrames)
{
    Configure("full.avi", 64, 48);
    writer.SetCompress(true);
    writer.SetPreCompress(true);
    answer = CompressorChoice{kFullFramesHandler};
    ASSERT_TRUE(writer.Open());
    EXPECT_EQ(writer.GetStreamInfo().fccHandler, 0u);
    EXPECT_EQ(writer.GetStreamInfo().dwQuality, 10000);
    EXPECT_TRUE(writer.AddFrame(TestPicture(64, 48, 5)));
    writer.Close();
    EXPECT_TRUE(DecodeFrame(path, 0, "rgb555le") == testing::ExpectedRgb555(TestPicture(64, 48, 5)));
}

// The program's configuration: full frames first, then the re-save on Close,
// which reads the movie back and compresses it in its place.
TEST_F(WriterTest, CloseHandsTheFinishedMovieToTheCompressingResave)
{
    Configure("resaved.avi", 64, 48);
    writer.SetCompress(true);
    bool busyDuringResave = false;
    const SaveOptionsDialogHandler previous = SetSaveOptionsDialogHandler([&](SaveOptions& options) {
        busyDuringResave = writer.IsBusy() && !writer.Open();  // no second movie meanwhile
        options.fccHandler = FourCC("MJPG");
        options.lastChosenHandler = FourCC("MJPG");
    });
    ASSERT_TRUE(writer.Open());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(writer.AddFrame(TestPicture(64, 48, i)));
    writer.Close();
    SetSaveOptionsDialogHandler(previous);
    EXPECT_TRUE(busyDuringResave);
    EXPECT_FALSE(writer.IsBusy());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(writer.GetSaveOptions().fccHandler, FourCC("MJPG"));

    auto video = ProbeVideo(path);
    EXPECT_EQ(video["codec_name"], "mjpeg") << video["stderr"];
    EXPECT_EQ(video["nb_read_frames"], "3");
    EXPECT_FALSE(std::filesystem::exists(dir.File("resaved_.avi")));
}

}  // namespace
}  // namespace senki
