// The re-save stage as the writer runs it: the dialog and the message boxes
// answered through their seams, the files at the movie's name and at the
// temporary name checked after every way through.

#include "avi/compressing_resave.h"
#include "avi/fourcc.h"
#include "avi/progress_window.h"
#include "avi/save_options_dialog.h"
#include "avi/temp_movie_name.h"
#include "resave_movies.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace senki {
namespace {

using testing::FileBytes;
using testing::ProbeVideo;
using testing::TempDir;

constexpr int kFrames = 45;

const ResaveTexts kTexts = {
    QStringLiteral("中断"),
    QStringLiteral("進行状況"),
    QStringLiteral("圧縮ＡＶＩファイル作成中..."),
    QStringLiteral("圧縮ＡＶＩファイル作成を中断しました."),
    QStringLiteral("ＡＶＩファイルを開けませんでした."),
    QStringLiteral("ストリームを開けませんでした."),
    QStringLiteral("映像"),
};

struct Shown {
    QString text;
    bool progressWindowVisible;  // whether a progress window was still on screen
};

bool AnyProgressWindowVisible()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<TProgressWindow*>(widget) && widget->isVisible())
            return true;
    return false;
}

class ResaveStageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testing::MakeUncompressedMovie(movie_, kFrames));
        uncompressed_ = FileBytes(movie_);
        previousBoxes_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            EXPECT_EQ(request.kind, MessageKind::Warning);
            shown_.push_back({request.text, AnyProgressWindowVisible()});
        });
        previousDialog_ = SetSaveOptionsDialogHandler([this](SaveOptions& options) {
            offered_.push_back(options);
            options.fccHandler = choice_;
            if (onDialog_)
                onDialog_();
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler(previousBoxes_);
        SetSaveOptionsDialogHandler(previousDialog_);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Resave() { RunCompressingResave(QString::fromStdString(movie_), options_, kTexts, nullptr); }
    bool TempFileExists() const
    {
        return std::filesystem::exists(TempMovieName(QString::fromStdString(movie_)).toStdString());
    }

    TempDir dir_;
    std::string movie_ = dir_.File("war.avi");
    std::string uncompressed_;
    SaveOptions options_;
    std::uint32_t choice_ = FourCC("MJPG");
    std::function<void()> onDialog_;
    std::vector<SaveOptions> offered_;
    std::vector<Shown> shown_;
    MessageBoxHandler previousBoxes_;
    SaveOptionsDialogHandler previousDialog_;
};

TEST_F(ResaveStageTest, FullFramesLeaveTheMovieAlone)
{
    choice_ = kFullFramesHandler;
    bool windowShown = false;
    onDialog_ = [&] { QTimer::singleShot(0, [&] { windowShown = ProgressWindow != nullptr; }); };
    Resave();
    QApplication::processEvents();
    EXPECT_FALSE(windowShown);
    EXPECT_TRUE(shown_.empty());
    EXPECT_FALSE(TempFileExists());
    EXPECT_TRUE(FileBytes(movie_) == uncompressed_);
}

TEST_F(ResaveStageTest, SuccessPutsTheCompressedMovieInPlaceAndOffersTheChoiceAgain)
{
    options_.quality = 6000;
    // While it runs, another re-save (from an export started meanwhile)
    // returns at once without touching anything.
    bool runningDuringSave = false;
    onDialog_ = [&] {
        QTimer::singleShot(0, [&] {
            runningDuringSave = ResaveRunning();
            onDialog_ = nullptr;
            Resave();
        });
    };
    Resave();
    EXPECT_TRUE(runningDuringSave);
    EXPECT_FALSE(ResaveRunning());
    EXPECT_TRUE(shown_.empty());
    EXPECT_FALSE(TempFileExists());
    auto probe = ProbeVideo(movie_);
    EXPECT_EQ(probe["codec_name"], "mjpeg");
    EXPECT_EQ(probe["nb_read_frames"], std::to_string(kFrames));
    EXPECT_EQ(ProgressWindow, nullptr);

    // The dialog saw the stream type and full frames set, the settings kept.
    ASSERT_EQ(offered_.size(), 1u);
    EXPECT_EQ(offered_[0].fccType, kStreamTypeVideo);
    EXPECT_EQ(offered_[0].fccHandler, kFullFramesHandler);
    EXPECT_EQ(offered_[0].quality, 6000);
    EXPECT_EQ(options_.fccHandler, FourCC("MJPG"));
}

// A click on 中断 while the save runs: the window closes before the
// warning, nothing remains at the temporary name, and the next re-save is
// not stopped by the old click.
TEST_F(ResaveStageTest, AbortKeepsTheUncompressedMovieAndTheNextResaveSucceeds)
{
    onDialog_ = [] {
        QTimer::singleShot(0, [] {
            ASSERT_NE(ProgressWindow, nullptr);
            ProgressWindow->Abort1->click();
        });
    };
    Resave();
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, kTexts.abortedMessage);
    EXPECT_FALSE(shown_[0].progressWindowVisible);
    EXPECT_FALSE(TempFileExists());
    EXPECT_TRUE(FileBytes(movie_) == uncompressed_);
    EXPECT_EQ(AbortRequest, kUserAbort);

    onDialog_ = nullptr;
    Resave();
    EXPECT_EQ(shown_.size(), 1u);
    EXPECT_EQ(ProbeVideo(movie_)["codec_name"], "mjpeg");
    EXPECT_FALSE(TempFileExists());
}

// The save fails: the fixed text, then the reason; nothing at the
// temporary name, the uncompressed movie kept.
TEST_F(ResaveStageTest, FailedSaveIsReportedAndKeepsTheUncompressedMovie)
{
    choice_ = FourCC("????");
    Resave();
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_TRUE(shown_[0].text.startsWith(kTexts.abortedMessage + QLatin1Char('\n')));
    EXPECT_FALSE(TempFileExists());
    EXPECT_TRUE(FileBytes(movie_) == uncompressed_);
}

// When the compressed movie cannot take the movie's name, the user learns
// both names, and neither movie is lost.
TEST_F(ResaveStageTest, FailedReplaceIsReportedWithBothNames)
{
    // During the save something else takes the movie's name: a directory,
    // which the compressed file cannot replace.
    onDialog_ = [this] {
        QTimer::singleShot(0, [this] {
            std::filesystem::remove(movie_);
            std::filesystem::create_directory(movie_);
            testing::WriteBytes(movie_ + "/keep", {1});
        });
    };
    Resave();
    const QString temp = TempMovieName(QString::fromStdString(movie_));
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_TRUE(shown_[0].text.contains(temp)) << shown_[0].text.toStdString();
    EXPECT_TRUE(shown_[0].text.contains(QString::fromStdString(movie_)));
    EXPECT_EQ(ProbeVideo(temp.toStdString())["codec_name"], "mjpeg");
}

TEST_F(ResaveStageTest, MovieOrStreamThatCannotBeOpenedIsReported)
{
    struct Case {
        const char* what;
        std::string make;  // an ffmpeg command line writing to the movie, or empty for garbage bytes
        QString message;
    };
    const Case cases[] = {
        {"missing file", "", kTexts.cannotOpenFile},
        {"not a movie", "garbage", kTexts.cannotOpenFile},
        {"sound only", "-f lavfi -i sine=duration=0.2 -c:a pcm_s16le", kTexts.streamWord + kTexts.cannotOpenStream},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(movie_);
        if (c.make == "garbage") {
            testing::WriteBytes(movie_, std::vector<std::uint8_t>(4096, 0x5A));
        } else if (!c.make.empty()) {
            ASSERT_TRUE(testing::RunTool("ffmpeg -v error -y " + c.make + " '" + movie_ + "'", movie_));
        }
        shown_.clear();
        offered_.clear();
        Resave();
        ASSERT_EQ(shown_.size(), 1u);
        EXPECT_EQ(shown_[0].text, c.message);
        EXPECT_TRUE(offered_.empty());
        EXPECT_FALSE(TempFileExists());
    }
    EXPECT_EQ(shown_[0].text, QStringLiteral("映像ストリームを開けませんでした."));
}

TEST(ProgressWindow, LayoutAndCallback)
{
    TProgressWindow window(kTexts.progressCaption, kTexts.progressLabel, kTexts.abortCaption);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("進行状況"));
    EXPECT_EQ(window.size(), QSize(200, 80));
    EXPECT_EQ(window.Label1->pos(), QPoint(8, 8));
    EXPECT_EQ(window.Label1->text(), kTexts.progressLabel);
    EXPECT_EQ(window.ProgressBar1->geometry(), QRect(20, 24, 160, 16));
    EXPECT_EQ(window.ProgressBar1->minimum(), 0);
    EXPECT_EQ(window.ProgressBar1->maximum(), 100);
    EXPECT_EQ(window.Abort1->geometry(), QRect(64, 48, 72, 24));
    EXPECT_EQ(window.Abort1->text(), QStringLiteral("中断"));

    // The bar shows the percentages unscaled; the click is returned by the
    // report in which it is handled.
    AbortRequest = 0;
    ProgressWindow = &window;
    window.ShowCentred();
    for (int percent : {0, 1, 37, 99, 100}) {
        EXPECT_EQ(SaveProgressCallback(percent), 0);
        EXPECT_EQ(window.ProgressBar1->value(), percent);
    }
    QTimer::singleShot(0, [&] { window.Abort1->click(); });
    EXPECT_EQ(SaveProgressCallback(50), kUserAbort);

    // The close box only hides the window.
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(SaveProgressCallback(60), kUserAbort);
    EXPECT_EQ(window.ProgressBar1->value(), 60);
    ProgressWindow = nullptr;
    AbortRequest = 0;
}

}  // namespace
}  // namespace senki
