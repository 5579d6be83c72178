#include "app/map_view.h"
#include "history/calendar.h"
#include "history/history_loader.h"
#include "map/base_map.h"
#include "support/reference_fill.h"
#include "window_fixture.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QMimeData>
#include <QSlider>
#include <QTimer>
#include <QUrl>

namespace senki {
namespace {

using testing::Utf8;

class MainWindowTest : public testing::WindowFixture {
protected:
    // The map that record `index` of the war numbered `seed` (with `records`
    // records) must show, painted independently of the window.
    QImage ExpectedMap(int records, std::uint64_t seed, int index) const
    {
        const auto war = savegen::SyntheticWar(records, seed);
        return testing::ReferencePaint(window.Maps->BaseMap(), war[std::size_t(index)].OwnerCodes);
    }
    int Position() const { return window.TrackBar1->value(); }
    int Maximum() const { return window.TrackBar1->maximum(); }
};

TEST_F(MainWindowTest, StartsWithItsDesign)
{
    window.show();
    EXPECT_EQ(Caption(), QString::fromUtf8("トルメリア 戦記"));
    EXPECT_EQ(window.centralWidget()->size(), QSize(560, 407));
    EXPECT_EQ(window.size(), QSize(560, 407 + window.menuBar()->height())) << "the menu bar lies outside the client area";
    EXPECT_EQ(window.pos(), QPoint(197, 122));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the border is fixed";
    EXPECT_EQ(window.Image1->geometry(), QRect(0, 0, 560, 374));
    EXPECT_EQ(window.Image1->Picture(), LoadBaseMap());
    EXPECT_EQ(window.TrackBar1->geometry(), QRect(0, 376, 561, 25));
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Maximum(), 10);
    EXPECT_EQ(window.TrackBar1->pageStep(), 1);
    EXPECT_EQ(window.Timer1->interval(), 500);
    EXPECT_FALSE(window.Timer1->isActive());
    EXPECT_FALSE(window.History.Loaded());

    // The menu bar: two menus and the auto-play command itself.
    QStringList bar;
    for (QAction* entry : window.menuBar()->actions())
        bar << entry->text();
    EXPECT_EQ(bar, QStringList({"ファイル", "表示", "自動"}));
    EXPECT_EQ(window.N5->menu(), nullptr);
    QStringList file;
    for (QAction* item : window.fairu1->actions())
        file << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(file, QStringList({"開く", "今のマップを保存", "ムービーで保存", "-", "終了"}));
    EXPECT_TRUE(window.N7->isChecked());
    EXPECT_FALSE(window.N8->isChecked() || window.N9->isChecked());
    for (QAction* item : {window.N1, window.N2, window.N10, window.N4, window.N5, window.N7, window.N8, window.N9}) {
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->text().toStdString();
        EXPECT_FALSE(item->text().contains('&')) << item->text().toStdString();
    }
}

TEST_F(MainWindowTest, BeforeAnyLoadTheSliderAndAutoPlayShowNothing)
{
    window.TrackBar1->setValue(7);
    EXPECT_EQ(Position(), 7);
    window.N5->trigger();
    window.N5->trigger();
    EXPECT_EQ(Caption(), QString::fromUtf8("トルメリア 戦記"));
    EXPECT_EQ(window.Image1->Picture(), LoadBaseMap());
    EXPECT_EQ(window.N5->text(), QString::fromUtf8("自動"));
    EXPECT_FALSE(window.Timer1->isActive());
    EXPECT_FALSE(window.AutoPlay);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, OpeningASaveShowsItsFirstRecord)
{
    const std::string path = Save(144, 5);
    window.TrackBar1->setValue(6);
    Open(path);
    ASSERT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
    EXPECT_EQ(dialogSettings.filter, QString::fromUtf8("ノルテム(トルメリア1.01以降) (*.sav)"));
    EXPECT_EQ(dialogSettings.defaultSuffix, "sav");
    EXPECT_EQ(dialogSettings.initialDir, "Save");
    EXPECT_EQ(Caption(), QString::fromUtf8("トルメリア 戦記 1939/09/下旬"));
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Maximum(), 143);
    EXPECT_TRUE(testing::SameColours(window.Image1->Picture(), ExpectedMap(144, 5, 0)));
    EXPECT_EQ(window.Image1->Picture().height(), 375) << "the picture keeps the row the view does not show";

    window.TrackBar1->setValue(1);
    EXPECT_EQ(Caption(), QString::fromUtf8("トルメリア 戦記 1939/10/上旬"));
    window.TrackBar1->setValue(40);
    EXPECT_EQ(Caption(), Utf8(RecordCaption(40)));
    EXPECT_TRUE(testing::SameColours(window.Image1->Picture(), ExpectedMap(144, 5, 40)));
    EXPECT_NE(window.Image1->Picture().constBits(), window.Maps->WorkMap().constBits())
        << "the view holds its own copy of WorkMap";

    // The dialog offers the last name again; a second file shows its record 0.
    Open(Save(60, 9));
    EXPECT_EQ(offeredNames.back(), Utf8(path));
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Maximum(), 59);
    EXPECT_TRUE(testing::SameColours(window.Image1->Picture(), ExpectedMap(60, 9, 0)));
}

TEST_F(MainWindowTest, CancellingTheDialogChangesNothing)
{
    Open(Save(20));
    window.TrackBar1->setValue(4);
    const QImage shown = window.Image1->Picture().copy();
    window.N1->trigger();  // no answer queued: the dialog is cancelled
    EXPECT_EQ(Position(), 4);
    EXPECT_EQ(Caption(), Utf8(RecordCaption(4)));
    EXPECT_EQ(window.Image1->Picture(), shown);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, ASaveWithoutHistoryGetsTheLoadersBoxAndChangesNothing)
{
    // Nothing after the fixed part, and less than one whole record after it.
    for (const int trailing : {0, 122}) {
        Open(Save(0, 1, trailing));
        ASSERT_EQ(boxes.size(), 1u) << trailing;
        EXPECT_EQ(boxes[0].kind, MessageKind::Plain);
        EXPECT_EQ(boxes[0].caption, QString::fromUtf8("セーブデータエラー"));
        EXPECT_EQ(boxes[0].text, QString::fromUtf8("このデータは対応していません"));
        EXPECT_FALSE(window.History.Loaded());
        EXPECT_EQ(Maximum(), 10);
        EXPECT_EQ(Caption(), QString::fromUtf8("トルメリア 戦記"));
        boxes.clear();
    }

    // After a good save: the earlier history stays and its record 0 is shown.
    Open(Save(30, 2));
    window.TrackBar1->setValue(12);
    Open(Save(0, 1, 50));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(window.History.LastIndex(), 29);
    EXPECT_EQ(Maximum(), 29);
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(Caption(), Utf8(RecordCaption(0)));
    EXPECT_TRUE(testing::SameColours(window.Image1->Picture(), ExpectedMap(30, 2, 0)));
}

TEST_F(MainWindowTest, AnUnreadableFileReachesOneErrorBoxAndChangesNothing)
{
    Open(Save(30));
    window.TrackBar1->setValue(8);
    const QImage shown = window.Image1->Picture().copy();
    const std::string missing = dir.File("missing.sav");
    Open(missing);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, MessageKind::Error);
    EXPECT_TRUE(boxes[0].text.contains(Utf8(missing))) << boxes[0].text.toStdString();
    EXPECT_EQ(Position(), 8);
    EXPECT_EQ(Caption(), Utf8(RecordCaption(8)));
    EXPECT_EQ(window.Image1->Picture(), shown);
    EXPECT_EQ(window.History.LastIndex(), 29);
}

struct ClampCase {
    int firstRecords;
    int position;
    int secondRecords;
    int maximumAfterLoad;
    int positionAfterLoad;
};

class SliderClampTest : public MainWindowTest, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(SliderClampTest, TheLoaderClampsThePositionAndOpenReturnsToZero)
{
    const ClampCase c = GetParam();
    Open(Save(c.firstRecords, 1));
    window.TrackBar1->setValue(c.position);
    const std::string second = Save(c.secondRecords, 2);
    window.LoadHistory(Utf8(second));
    EXPECT_EQ(Maximum(), c.maximumAfterLoad);
    EXPECT_EQ(Position(), c.positionAfterLoad);
    // What is on display was read from the new store.
    EXPECT_EQ(Caption(), Utf8(RecordCaption(c.positionAfterLoad)));
    if (c.positionAfterLoad != c.position) {
        EXPECT_TRUE(testing::SameColours(window.Image1->Picture(), ExpectedMap(c.secondRecords, 2, c.positionAfterLoad)));
    }

    Open(second);
    EXPECT_EQ(Position(), 0);
    EXPECT_TRUE(testing::SameColours(window.Image1->Picture(), ExpectedMap(c.secondRecords, 2, 0)));
}

INSTANTIATE_TEST_SUITE_P(Loads, SliderClampTest,
                         ::testing::Values(ClampCase{200, 120, 50, 49, 49},  // clamped down to the new maximum
                                           ClampCase{50, 30, 200, 199, 30},  // kept until Open moves it
                                           ClampCase{20, 5, 300, 255, 5}),  // the range stops at 255
                         [](const ::testing::TestParamInfo<ClampCase>& info) {
                             const ClampCase& c = info.param;
                             return std::to_string(c.firstRecords) + "At" + std::to_string(c.position) + "Then"
                                    + std::to_string(c.secondRecords);
                         });

TEST_F(MainWindowTest, AutoPlayCommandTogglesAndNamesTheModeInForce)
{
    Open(Save(10));
    const char* captions[] = {"自動", "停止", "自動"};
    for (int click = 0; click < 3; ++click) {
        window.N5->trigger();
        EXPECT_EQ(window.N5->text(), QString::fromUtf8(captions[click])) << click;
        EXPECT_EQ(window.AutoPlay, click != 1);
        EXPECT_EQ(window.Timer1->isActive(), window.AutoPlay);
    }
    EXPECT_EQ(Position(), 0) << "starting shows nothing before the first tick";
}

TEST_F(MainWindowTest, AutoPlayStepsToTheMaximumAndStopsThere)
{
    Open(Save(5));
    window.N5Click();
    for (int step = 1; step <= 3; ++step) {
        window.Timer1Timer();
        EXPECT_EQ(Position(), step);
        EXPECT_EQ(Caption(), Utf8(RecordCaption(step)));
        EXPECT_TRUE(window.AutoPlay);
    }
    // Dragged back during auto-play: the next tick goes on from there.
    window.TrackBar1->setValue(1);
    window.Timer1Timer();
    EXPECT_EQ(Position(), 2);
    window.Timer1Timer();
    window.Timer1Timer();
    EXPECT_EQ(Position(), 4);
    EXPECT_EQ(Caption(), Utf8(RecordCaption(4)));
    EXPECT_FALSE(window.AutoPlay);
    EXPECT_FALSE(window.Timer1->isActive());
    EXPECT_EQ(window.N5->text(), QString::fromUtf8("停止"));
}

TEST_F(MainWindowTest, AutoPlayAtTheMaximumStopsOnItsFirstTick)
{
    // A one-record history, and a longer one started at its maximum.
    for (const int records : {1, 8}) {
        Open(Save(records));
        window.TrackBar1->setValue(records - 1);
        const QString caption = Caption();
        window.N5Click();
        ASSERT_TRUE(window.AutoPlay);
        window.Timer1Timer();
        EXPECT_EQ(Position(), records - 1);
        EXPECT_EQ(Caption(), caption);
        EXPECT_FALSE(window.AutoPlay);
        EXPECT_FALSE(window.Timer1->isActive());
        EXPECT_EQ(window.N5->text(), QString::fromUtf8("停止"));
    }
}

TEST_F(MainWindowTest, AutoPlayOfALongHistoryEndsAtRecord255)
{
    Open(Save(300));
    window.N5Click();
    int ticks = 0;
    while (window.AutoPlay && ticks < 400) {
        window.Timer1Timer();
        ++ticks;
    }
    EXPECT_EQ(ticks, 255);
    EXPECT_EQ(Position(), 255);
    EXPECT_EQ(Caption(), Utf8(RecordCaption(255)));
}

TEST_F(MainWindowTest, AutoPlayTicksOnTheRealTimer)
{
    Open(Save(3));
    window.Timer1->setInterval(1);
    window.N5->trigger();
    QElapsedTimer waited;
    waited.start();
    while (window.AutoPlay && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_EQ(Position(), 2);
    EXPECT_EQ(Caption(), Utf8(RecordCaption(2)));
    EXPECT_FALSE(window.Timer1->isActive());
}

TEST_F(MainWindowTest, ClosingDuringAutoPlayEndsIt)
{
    Open(Save(10));
    window.show();
    window.N5Click();
    window.N4->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Timer1->isActive());
    EXPECT_FALSE(window.AutoPlay);
}

TEST_F(MainWindowTest, ADroppedSaveOpensAsFileOpenWould)
{
    window.TrackBar1->setValue(3);
    const std::string path = Save(40, 4);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Utf8(path))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    ASSERT_TRUE(drop.isAccepted());
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Maximum(), 39);
    EXPECT_EQ(Position(), 0);
    EXPECT_TRUE(testing::SameColours(window.Image1->Picture(), ExpectedMap(40, 4, 0)));
    EXPECT_EQ(window.OpenDialog1.FileName(), Utf8(path));
}

}  // namespace
}  // namespace senki
