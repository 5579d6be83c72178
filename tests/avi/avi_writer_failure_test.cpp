#include "movie_probe.h"
#include "writer_fixture.h"

#include <filesystem>
#include <functional>

namespace senki {
namespace {

using testing::TestPicture;
using testing::WriterTest;

const QString kCannotCreateFile = QStringLiteral("ＡＶＩファイルを作成できませんでした.");
const QString kCannotCreateStream = QStringLiteral("映像ストリームを作成できませんでした.");
const QString kCannotStart = QStringLiteral("フレームシーケンス圧縮のリソースが初期化出来ません.");

struct OpenFailure {
    const char* name;
    std::function<void(TAviWriter&, std::optional<CompressorChoice>&)> arrange;
    MessageKind kind;  // Plain: no box at all
    QString text;
};

TEST_F(WriterTest, EveryOpenFailureReportsItselfAndHoldsNothing)
{
    const OpenFailure rows[] = {
        // With Compress on and PreCompress off, Close must not go on to the
        // re-save of a movie that was never written: it would add a box.
        {"file",
         [](TAviWriter& w, auto&) {
             w.SetCompress(true);
             w.SetPlatformFaults({.createFile = true});
         },
         MessageKind::Warning, kCannotCreateFile},
        {"stream", [](TAviWriter& w, auto&) { w.SetPlatformFaults({.createStream = true}); }, MessageKind::Warning,
         kCannotCreateStream},
        {"format", [](TAviWriter& w, auto&) { w.SetPlatformFaults({.setFormat = true}); }, MessageKind::Warning,
         kCannotCreateStream},
        {"zero size", [](TAviWriter& w, auto&) { w.SetWidth(0); }, MessageKind::Warning, kCannotCreateFile},
        {"choice cancelled",
         [](TAviWriter& w, auto& answer) {
             w.SetCompress(true);
             w.SetPreCompress(true);
             answer.reset();
         },
         MessageKind::Plain, {}},
        {"compression start",
         [](TAviWriter& w, auto& answer) {
             w.SetCompress(true);
             w.SetPreCompress(true);
             w.SetPlatformFaults({.startCompression = true});
             answer = CompressorChoice{FourCC("MJPG")};
         },
         MessageKind::Error, kCannotStart},
        {"file after a codec was chosen",
         [](TAviWriter& w, auto& answer) {
             w.SetCompress(true);
             w.SetPreCompress(true);
             w.SetPlatformFaults({.createFile = true});
             answer = CompressorChoice{FourCC("MJPG")};
         },
         MessageKind::Warning, kCannotCreateFile},
    };
    for (const OpenFailure& row : rows) {
        SCOPED_TRACE(row.name);
        TAviWriter fresh;
        Configure("failed.avi", 64, 48);
        fresh.SetFileName(writer.FileName());
        fresh.SetWidth(64);
        fresh.SetHeight(48);
        fresh.SetCompress(false);
        testing::WriteBytes(path, {'o', 'l', 'd'});
        boxes.clear();
        row.arrange(fresh, answer);

        EXPECT_FALSE(fresh.Open());
        EXPECT_FALSE(fresh.IsBusy());
        EXPECT_FALSE(fresh.AddFrame(TestPicture(64, 48, 0)));
        fresh.Close();  // as the export does; releases nothing twice
        fresh.Close();
        if (row.kind == MessageKind::Plain) {
            EXPECT_TRUE(boxes.empty());
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].kind, row.kind);
            EXPECT_EQ(boxes[0].text, row.text);
        }
        EXPECT_FALSE(std::filesystem::exists(path)) << "no earlier file and no broken movie is left";
    }
}

TEST_F(WriterTest, EmptyFileNameTouchesNothing)
{
    writer.SetCompress(false);
    EXPECT_FALSE(writer.Open());
    writer.Close();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

// A frame that cannot be written leaves the movie incomplete: AddFrame says so,
// and Close removes the file and tells the user instead of finishing it.
TEST_F(WriterTest, FailedWritesAreReportedAndTheIncompleteMovieRemoved)
{
    const struct {
        const char* name;
        PlatformFaults faults;
        AviFileLayout layout;
        int framesWritten;  // before the first failure
    } rows[] = {
        {"frame write", {.failWriteAt = 2}, {}, 2},
        {"indexes and headers", {.finishFile = true}, {}, 5},
        {"no room for a fourth part", {}, {std::uint64_t(8) << 10, 3}, 3},  // one frame a part
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Configure("broken.avi", 64, 48);  // 6,144-byte frames
        boxes.clear();
        writer.SetPlatformFaults(row.faults);
        writer.SetFileLayout(row.layout);
        writer.SetCompress(true);  // an incomplete movie is not re-saved either
        ASSERT_TRUE(writer.Open());
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(writer.AddFrame(TestPicture(64, 48, i)), i < row.framesWritten) << "frame " << i;
        EXPECT_EQ(writer.FrameCounter(), row.framesWritten);
        writer.Close();
        EXPECT_FALSE(writer.IsBusy());
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, MessageKind::Warning);
        EXPECT_TRUE(boxes[0].text.contains(QString::fromStdString(path))) << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("ＡＶＩファイル")));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST_F(WriterTest, AFrameThatFailsToCompressIsSkippedAndTheMovieGoesOn)
{
    Configure("gap.avi", 64, 48);
    writer.SetCompress(true);
    writer.SetPreCompress(true);
    writer.SetPlatformFaults({.failCompressAt = 1});
    answer = CompressorChoice{FourCC("MJPG")};
    ASSERT_TRUE(writer.Open());
    EXPECT_TRUE(writer.AddFrame(TestPicture(64, 48, 0)));
    EXPECT_FALSE(writer.AddFrame(TestPicture(64, 48, 1)));
    EXPECT_EQ(writer.FrameCounter(), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes[0].text, QStringLiteral("フレームシーケンス圧縮が出来ませんでした."));
    writer.SetPlatformFaults({});
    EXPECT_TRUE(writer.AddFrame(TestPicture(64, 48, 2)));
    writer.Close();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(testing::ProbeVideo(path)["nb_read_frames"], "2");
}

}  // namespace
}  // namespace senki
