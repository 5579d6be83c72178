// File > "ムービーで保存" and File > "今のマップを保存" driven through the menu,
// with the save dialog and the codec choice answered by the test.

#include "app/map_view.h"
#include "avi/fourcc.h"
#include "avi/movie_probe.h"
#include "avi/save_options_dialog.h"
#include "export/date_overlay.h"
#include "export/map_snapshot.h"
#include "history/calendar.h"
#include "map/base_map.h"
#include "support/reference_fill.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QSlider>

namespace senki {
namespace {

class ExportCommandsTest : public testing::WindowFixture {
protected:
    ExportCommandsTest()
    {
        window.SaveDialog1.runner = [this](QWidget*, const FileDialogSettings& settings, const QString&) {
            saveDialogSettings = settings;
            return saveAnswer;
        };
        previousOptions_ = SetSaveOptionsDialogHandler([this](SaveOptions& options) {
            ++codecChoices;
            if (duringResave)
                duringResave();
            options.fccHandler = chosenCodec;
        });
    }
    ~ExportCommandsTest() override { SetSaveOptionsDialogHandler(previousOptions_); }

    // Frame `index` of a full-frame movie, decoded to rgb24.
    std::string Frame(const std::string& movie, int index) { return testing::DecodeFrame(movie, index, "rgb24"); }

    // What the frames of `record` must hold: its map with its date, as a
    // 16-bit frame decoded to rgb24.
    std::string ExpectedFrame(int records, int record)
    {
        const auto war = savegen::SyntheticWar(records, 1);
        QImage picture = testing::ReferencePaint(LoadBaseMap(), war[record].OwnerCodes);
        DrawDateOverlay(picture, QString::fromStdString(RecordDateText(record)));
        return testing::ExpectedRgb24From16Bits(picture);
    }

    QString saveAnswer;
    FileDialogSettings saveDialogSettings;
    std::uint32_t chosenCodec = kFullFramesHandler;
    int codecChoices = 0;
    std::function<void()> duringResave;

private:
    SaveOptionsDialogHandler previousOptions_;
};

TEST_F(ExportCommandsTest, AOneRecordHistoryGivesFifteenFramesWithItsDate)
{
    const std::string save = Save(1);
    Open(save);
    window.N8->trigger();  // "表": the movie still shows maps
    const std::string movie = dir.File("war.avi");
    saveAnswer = testing::Utf8(movie);
    window.N10->trigger();

    EXPECT_EQ(saveDialogSettings.filter, "*.avi (*.avi)");
    EXPECT_EQ(saveDialogSettings.defaultSuffix, "avi");
    EXPECT_EQ(codecChoices, 1);
    auto video = testing::ProbeVideo(movie);
    EXPECT_EQ(video["nb_read_frames"], "15");
    EXPECT_EQ(video["r_frame_rate"], "30/1");
    EXPECT_EQ(video["width"] + "x" + video["height"], "560x375");
    EXPECT_TRUE(Frame(movie, 0) == ExpectedFrame(1, 0));
    EXPECT_TRUE(Frame(movie, 14) == ExpectedFrame(1, 0));
    EXPECT_TRUE(boxes.empty());

    // Afterwards the display holds the record at the slider without a date.
    EXPECT_EQ(window.Image1->Picture(), window.Maps->WorkMap());
    EXPECT_EQ(Caption(), "トルメリア 戦記 1939/09/下旬");
}

TEST_F(ExportCommandsTest, EveryRecordInOrderAndTheSlidersRecordShownAgain)
{
    const std::string save = Save(3);
    Open(save);
    window.TrackBar1->setValue(1);
    const std::string movie = dir.File("war.avi");
    saveAnswer = testing::Utf8(movie);
    window.N10->trigger();

    EXPECT_EQ(testing::ProbeVideo(movie)["nb_read_frames"], "45");
    EXPECT_TRUE(Frame(movie, 30) == ExpectedFrame(3, 2)) << "the frames of record 2";
    EXPECT_EQ(window.TrackBar1->value(), 1);
    EXPECT_EQ(Caption(), QString::fromStdString(RecordCaption(1)));
    EXPECT_EQ(window.Image1->Picture(), window.Maps->WorkMap());
}

TEST_F(ExportCommandsTest, CancellingWritesNothingAndRestoresTheDisplay)
{
    Open(Save(4));
    window.TrackBar1->setValue(2);
    const QImage before = window.Image1->Picture();
    saveAnswer.clear();
    window.N10->trigger();
    EXPECT_EQ(codecChoices, 0);
    EXPECT_EQ(window.Image1->Picture(), before);
    EXPECT_EQ(Caption(), QString::fromStdString(RecordCaption(2)));
    EXPECT_TRUE(QDir(QString::fromStdString(dir.Path().string())).entryList({"*.avi"}).isEmpty());
}

TEST_F(ExportCommandsTest, TheSnapshotHoldsTheMapWithoutADateAfterAnExport)
{
    Open(Save(2));
    window.N9->trigger();  // "マップ+表": the snapshot is still the map alone
    saveAnswer = testing::Utf8(dir.File("war.avi"));
    window.N10->trigger();

    const std::string snapshot = dir.File("map.bmp");
    saveAnswer = testing::Utf8(snapshot);
    window.N2->trigger();
    EXPECT_EQ(saveDialogSettings.filter, "*.bmp (*.bmp)");
    EXPECT_EQ(saveDialogSettings.defaultSuffix, "bmp");
    QFile file(QString::fromStdString(snapshot));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size(), 840054);
    const auto war = savegen::SyntheticWar(2, 1);
    EXPECT_EQ(bytes, EncodeMapSnapshot(testing::ReferencePaint(LoadBaseMap(), war[0].OwnerCodes)));
}

TEST_F(ExportCommandsTest, NothingHappensBeforeAHistoryIsLoaded)
{
    saveAnswer = testing::Utf8(dir.File("x.avi"));
    window.N10->trigger();
    window.N2->trigger();
    EXPECT_FALSE(QFile::exists(testing::Utf8(dir.File("x.avi"))));
    EXPECT_TRUE(saveDialogSettings.filter.isEmpty()) << "no dialog was shown";
    EXPECT_TRUE(boxes.empty());
}

// While the re-save runs, events are handled: the movie command can be chosen
// again then, and must not start a second export on the busy writer.
TEST_F(ExportCommandsTest, ASecondExportCannotStartWhileTheFirstCompresses)
{
    Open(Save(1));
    const std::string movie = dir.File("war.avi");
    saveAnswer = testing::Utf8(movie);
    duringResave = [this] {
        duringResave = nullptr;
        saveAnswer = testing::Utf8(dir.File("second.avi"));
        window.N10->trigger();
    };
    window.N10->trigger();
    EXPECT_EQ(codecChoices, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, MessageKind::Warning);
    EXPECT_FALSE(QFile::exists(testing::Utf8(dir.File("second.avi"))));
    EXPECT_EQ(testing::ProbeVideo(movie)["nb_read_frames"], "15");
}

TEST_F(ExportCommandsTest, ASnapshotThatCannotBeWrittenReachesTheErrorBox)
{
    Open(Save(1));
    saveAnswer = testing::Utf8(dir.File("no/such/dir/map.bmp"));
    window.N2->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, MessageKind::Error);
    EXPECT_TRUE(boxes[0].text.contains("map.bmp"));
}

}  // namespace
}  // namespace senki
