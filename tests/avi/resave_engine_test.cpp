// The movie engine of the re-save without any window: codecs, pixels,
// progress, failures, and the names it works with.

#include "avi/codec_catalog.h"
#include "avi/codec_preview.h"
#include "avi/fourcc.h"
#include "avi/movie_transcoder.h"
#include "avi/temp_movie_name.h"
#include "resave_movies.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace senki {
namespace {

using testing::DecodedPixels;
using testing::ProbeVideo;
using testing::TempDir;

constexpr int kFrames = 45;

class TranscodeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        ASSERT_TRUE(testing::MakeUncompressedMovie(Input(), kFrames));
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static std::string Input() { return dir_->File("war.avi"); }
    static SaveOptions With(const char* codec)
    {
        SaveOptions options;
        options.fccType = kStreamTypeVideo;
        options.fccHandler = FindCodecByName(codec)->handler;
        return options;
    }

    TempDir out_;
    static TempDir* dir_;
};
TempDir* TranscodeTest::dir_ = nullptr;

// Lossless codecs must keep every pixel of the 16-bit frames: no chroma
// subsampling and no rounding on the way.
TEST_F(TranscodeTest, LosslessCodecsKeepEveryPixel)
{
    // Compared as 24-bit pixels, which show each 5-bit value unchanged.
    const std::string original = DecodedPixels(Input(), "rgb24");
    ASSERT_EQ(original.size(), std::size_t(560 * 375 * 3 * kFrames));
    for (const CodecEntry& codec : AvailableCodecs()) {
        if (!codec.lossless || !codec.encoder)
            continue;
        SCOPED_TRACE(codec.encoder);
        const std::string output = out_.File(std::string(codec.encoder) + ".avi");
        const TranscodeResult result = TranscodeMovie(Input(), output, With(codec.encoder), nullptr);
        ASSERT_TRUE(result.Done()) << result.error;
        EXPECT_EQ(result.frames, kFrames);
        EXPECT_TRUE(DecodedPixels(output, "rgb24") == original);
    }
}

// H.264 as players take it: High profile 4:2:0, so the 375 rows get one
// more at the bottom that repeats the last.
TEST_F(TranscodeTest, H264IsHighProfile420WithThePaddedRowRepeatingTheBottomRow)
{
    const std::string output = out_.File("h264.avi");
    SaveOptions options = With("h264");
    options.quality = 10000;
    const TranscodeResult result = TranscodeMovie(Input(), output, options, nullptr);
    ASSERT_TRUE(result.Done()) << result.error;
    auto probe = ProbeVideo(output);
    EXPECT_EQ(probe["codec_name"], "h264");
    EXPECT_EQ(probe["profile"], "High");
    EXPECT_EQ(probe["pix_fmt"], "yuv420p");
    EXPECT_EQ(probe["width"], "560");
    EXPECT_EQ(probe["height"], "376");
    EXPECT_EQ(probe["nb_read_frames"], std::to_string(kFrames));

    const std::string luma = DecodedPixels(output, "gray");
    ASSERT_EQ(luma.size(), std::size_t(560 * 376 * kFrames));
    for (int frame = 0; frame < kFrames; frame += 11) {
        const std::size_t base = std::size_t(frame) * 560 * 376;
        int far = 0;
        for (int x = 0; x < 560; ++x)
            far += std::abs(int(std::uint8_t(luma[base + 375 * 560 + x])) -
                            int(std::uint8_t(luma[base + 374 * 560 + x]))) > 8;
        EXPECT_EQ(far, 0) << "frame " << frame;
    }
}

// Video 1 and Cinepak take only whole 4 × 4 blocks, so their frames are
// padded like H.264's; the others keep the 375 rows.
TEST_F(TranscodeTest, LossyCodecsWriteEveryFrameUnderTheirHandlerCode)
{
    struct Case {
        const char* codec;
        const char* probedName;
        const char* tag;
        const char* height;
    };
    const Case cases[] = {
        {"mjpeg", "mjpeg", "MJPG", "375"},
        {"mpeg4", "mpeg4", "XVID", "375"},
        {"msvideo1", "msvideo1", "CRAM", "376"},
        {"cinepak", "cinepak", "cvid", "376"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codec);
        const std::string output = out_.File(std::string(c.codec) + ".avi");
        SaveOptions options = With(c.codec);
        options.keyFrameEvery = 10;
        options.quality = 5000;
        const TranscodeResult result = TranscodeMovie(Input(), output, options, nullptr);
        ASSERT_TRUE(result.Done()) << result.error;
        auto probe = ProbeVideo(output);
        EXPECT_EQ(probe["codec_name"], c.probedName);
        EXPECT_EQ(probe["codec_tag_string"], c.tag);
        EXPECT_EQ(probe["height"], c.height);
        EXPECT_EQ(probe["nb_read_frames"], std::to_string(kFrames));
    }
}

TEST_F(TranscodeTest, ReportsEveryPercentageOnceFromZeroToHundred)
{
    std::vector<int> reported;
    const TranscodeResult result =
        TranscodeMovie(Input(), out_.File("progress.avi"), With("mjpeg"), [&](int percent) {
            reported.push_back(percent);
            return 0;
        });
    ASSERT_TRUE(result.Done()) << result.error;
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.front(), 0);
    EXPECT_EQ(reported.back(), 100);
    for (std::size_t i = 1; i < reported.size(); ++i)
        EXPECT_LT(reported[i - 1], reported[i]);
    // 45 frames: one report per frame, each at the share of frames done.
    EXPECT_EQ(reported.size(), std::size_t(kFrames + 1));
    EXPECT_EQ(reported[9], 9 * 100 / kFrames);
}

TEST_F(TranscodeTest, StopsAtTheFirstNonZeroAnswerAndLeavesNoFile)
{
    const std::string output = out_.File("aborted.avi");
    int calls = 0;
    const TranscodeResult result = TranscodeMovie(Input(), output, With("h264"), [&](int percent) {
        ++calls;
        return percent >= 20 ? 16582 : 0;
    });
    EXPECT_EQ(result.outcome, TranscodeResult::Outcome::Aborted);
    EXPECT_EQ(calls, 1 + (20 * kFrames + 99) / 100);
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(TranscodeTest, FailuresGiveAReasonAndLeaveNoFile)
{
    struct Case {
        const char* what;
        std::string input;
        std::string output;
        SaveOptions options;
    };
    SaveOptions unknown = With("mjpeg");
    unknown.fccHandler = FourCC("????");
    const Case cases[] = {
        {"missing input", out_.File("missing.avi"), out_.File("a.avi"), With("mjpeg")},
        {"missing output directory", Input(), out_.File("no/such/dir.avi"), With("mjpeg")},
        {"full frames", Input(), out_.File("b.avi"), With("none")},
        {"unknown handler", Input(), out_.File("c.avi"), unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TranscodeResult result = TranscodeMovie(c.input, c.output, c.options, nullptr);
        EXPECT_EQ(result.outcome, TranscodeResult::Outcome::Failed);
        EXPECT_FALSE(result.error.empty());
        EXPECT_FALSE(std::filesystem::exists(c.output));
    }
}

// The dialog's preview: the first frame through each codec, at the movie's
// size; lossless codecs and full frames show it unchanged.
TEST_F(TranscodeTest, PreviewShowsTheFirstFrameThroughTheCodec)
{
    CodecPreview preview;
    std::string error;
    ASSERT_TRUE(preview.Load(Input(), error)) << error;
    const QImage original = preview.Original();
    ASSERT_EQ(original.size(), QSize(560, 375));
    for (const char* codec : {"none", "ffv1", "utvideo", "mjpeg", "h264", "mpeg4"}) {
        SCOPED_TRACE(codec);
        const QImage compressed = preview.Compressed(With(codec), error);
        ASSERT_EQ(compressed.size(), original.size()) << error;
        if (FindCodecByName(codec)->lossless) {
            EXPECT_TRUE(compressed == original);
        }
    }
}

TEST(CodecLookup, FindsEntriesByEncoderNameOrAlias)
{
    struct Case {
        const char* name;
        const char* handler;  // nullptr: no entry
    };
    const Case cases[] = {
        {"none", "DIB "},   {"libx264", "H264"}, {"h264", "H264"},   {"H264", "H264"},   {"mjpeg", "MJPG"},
        {"mpeg4", "XVID"},  {"xvid", "XVID"},    {"ffv1", "FFV1"},   {"utvideo", "ULRG"}, {"huffyuv", "HFYU"},
        {"magicyuv", "MAGY"}, {"h265", nullptr}, {"", nullptr},
    };
    for (const Case& c : cases) {
        const CodecEntry* entry = FindCodecByName(c.name);
        if (!c.handler)
            EXPECT_EQ(entry, nullptr) << c.name;
        else
            EXPECT_EQ(entry ? FourCCText(entry->handler) : "", c.handler) << c.name;
    }
}

TEST(TempMovieName, ReplacesTheExtensionOfTheLastPathComponent)
{
    struct Case {
        const char* fileName;
        const char* expected;
    };
    const Case cases[] = {
        {"war.avi", "war_.avi"},
        {"/home/p/movies/war.avi", "/home/p/movies/war_.avi"},
        {"/home/p/war", "/home/p/war_.avi"},
        {"/home/p/v1.2/war", "/home/p/v1.2/war_.avi"},
        {"/home/p/v1.2/war.x.mov", "/home/p/v1.2/war.x_.avi"},
        {"war.", "war_.avi"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TempMovieName(QString::fromUtf8(c.fileName)).toStdString(), c.expected);
}

}  // namespace
}  // namespace senki
