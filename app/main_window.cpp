#include "app/main_window.h"

#include "app/handler_boundary.h"
#include "app/map_view.h"
#include "app/value_chart.h"
#include "history/calendar.h"
#include "history/history_loader.h"
#include "map/base_map.h"
#include "ui/message_box.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QFile>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QSlider>
#include <QTimer>

#include <algorithm>
#include <stdexcept>

namespace senki {

namespace {

constexpr int kClientWidth = 560;
constexpr int kClientHeight = 407;
constexpr int kViewHeight = 374;  // the map picture is one row taller; its last row is never seen

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    BuildDesign();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildDesign()
{
    setWindowTitle(Text(kInitialCaption));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    QFont font;
    font.setFamilies({Text("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(12);
    setFont(font);

    // The client area: controls at fixed places from its top-left corner, on
    // the button-face colour.
    auto* client = new QWidget(this);
    client->setBackgroundRole(QPalette::Button);
    client->setAutoFillBackground(true);
    client->setMinimumSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    Chart1 = new ValueChart(client);
    Chart1->setGeometry(0, 0, kClientWidth, kViewHeight);
    Series1 = Chart1->Series(0);
    Series2 = Chart1->Series(1);
    Series3 = Chart1->Series(2);

    Image1 = new MapView(client);
    Image1->setGeometry(0, 0, kClientWidth, kViewHeight);
    Image1->SetPicture(LoadBaseMap());

    TrackBar1 = new QSlider(Qt::Horizontal, client);
    TrackBar1->setGeometry(0, 376, 561, 25);
    TrackBar1->setRange(0, 10);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(1);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(1);
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { RunHandler(this, [this] { TrackBar1Change(); }); });

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [this] { RunHandler(this, [this] { Timer1Timer(); }); });

    BuildMenu();

    OpenDialog1.settings.filter = Text("ノルテム(トルメリア1.01以降) (*.sav)");
    OpenDialog1.settings.defaultSuffix = QStringLiteral("sav");
    OpenDialog1.settings.initialDir = QStringLiteral("Save");

    setAcceptDrops(true);
    move(197, 122);
    FixWindowSize();
}

void TForm1::BuildMenu()
{
    // Captions carry no '&', so no item gets a mnemonic, and no item has a
    // shortcut or is ever disabled.
    auto wire = [this](QAction* action, void (TForm1::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { RunHandler(this, [this, handler] { (this->*handler)(); }); });
    };
    QMenuBar* MainMenu1 = menuBar();

    fairu1 = MainMenu1->addMenu(Text("ファイル"));
    N1 = fairu1->addAction(Text("開く"));
    wire(N1, &TForm1::N1Click);
    N2 = fairu1->addAction(Text("今のマップを保存"));
    wire(N2, &TForm1::N2Click);
    N10 = fairu1->addAction(Text("ムービーで保存"));
    wire(N10, &TForm1::N10Click);
    N3 = fairu1->addSeparator();
    N4 = fairu1->addAction(Text("終了"));
    wire(N4, &TForm1::N4Click);

    N6 = MainMenu1->addMenu(Text("表示"));
    auto* views = new QActionGroup(this);
    views->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    N7 = N6->addAction(Text("マップ"));
    N8 = N6->addAction(Text("表"));
    N9 = N6->addAction(Text("マップ+表"));
    for (QAction* view : {N7, N8, N9}) {
        view->setCheckable(true);
        views->addAction(view);
    }
    N7->setChecked(true);
    wire(N7, &TForm1::N7Click);
    wire(N8, &TForm1::N8Click);
    wire(N9, &TForm1::N9Click);

    N5 = MainMenu1->addAction(Text(kAutoCaption));
    wire(N5, &TForm1::N5Click);
}

void TForm1::FormCreate()
{
    Maps = std::make_unique<TerritoryMaps>(Image1->Picture());
    Chart1->hide();
    AutoPlay = false;
}

// Fixed border: the window keeps the size of its client area and menu bar,
// except while maximised, when the controls stay at the top left.
void TForm1::FixWindowSize()
{
    setFixedSize(layout()->totalSizeHint());
}

void TForm1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (isMaximized())
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        else
            FixWindowSize();
    }
    QMainWindow::changeEvent(event);
}

bool TForm1::FormCloseQuery()
{
    // The close is never refused. Auto-play ends here so that no tick reaches
    // a closed window; the maps and the store go with the window object.
    Timer1->stop();
    AutoPlay = false;
    return true;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TForm1::N1Click()
{
    if (!OpenDialog1.Execute(this))
        return;
    OpenFile(OpenDialog1.FileName());
}

void TForm1::OpenFile(const QString& fileName)
{
    OpenDialog1.SetFileName(fileName);
    LoadHistory(fileName);
    ShowFirstRecord();
}

void TForm1::N4Click()
{
    close();
}

void TForm1::LoadHistory(const QString& fileName)
{
    SaveFileReading reading = ReadSaveFile(QFile::encodeName(fileName).toStdString());
    switch (reading.result) {
    case SaveFileReading::Result::Unreadable:
        throw std::runtime_error(reading.error);
    case SaveFileReading::Result::NoHistory:
        ShowMessageBox(this, MessageKind::Plain, Text(kNoHistoryCaption), Text(kNoHistoryMessage));
        return;
    case SaveFileReading::Result::History:
        // The store is replaced before the slider learns its new maximum: a
        // position clamped by the new maximum shows a record of the new store.
        History.Replace(std::move(reading.historyArea));
        TrackBar1->setMaximum(History.LastChartIndex());
        return;
    }
}

void TForm1::ShowFirstRecord()
{
    if (!History.Loaded())
        return;
    TrackBar1->setValue(0);
    ShowRecord(0);
}

void TForm1::ShowRecord(std::int32_t index)
{
    Maps->ClearWorkMap();
    const HistoryRecord record = History.ReadRecord(index);
    Maps->PaintOwners(record.OwnerCodes);
    Chart1->EmptySeries();  // the chart refill, step 1
    setWindowTitle(QString::fromUtf8(RecordCaption(index)));
    // The chart refill, step 2. Records past 255 have no chart values: their
    // chart shows the lines up to record 255.
    Chart1->FillSeries(History.SeriesTable(), std::min(index, kSeriesTableLength - 1));
    Image1->SetPicture(Maps->WorkMap());
    if (N9->isChecked())
        Chart1->SetBackgroundPicture(Maps->WorkMap());
}

void TForm1::TrackBar1Change()
{
    if (History.Loaded())
        ShowRecord(TrackBar1->value());
}

void TForm1::N5Click()
{
    if (!History.Loaded())
        return;
    AutoPlay = !AutoPlay;
    if (AutoPlay) {
        N5->setText(Text(kAutoCaption));
        Timer1->start();
    } else {
        N5->setText(Text(kStopCaption));
        Timer1->stop();
    }
}

void TForm1::N7Click()
{
    Image1->show();
    Chart1->hide();
    N7->setChecked(true);
}

void TForm1::N8Click()
{
    Image1->hide();
    Chart1->show();
    Chart1->RemoveBackgroundPicture();
    N8->setChecked(true);
}

void TForm1::N9Click()
{
    Image1->hide();
    Chart1->show();
    Maps->CopyWorkMapToChartBack();
    Chart1->SetBackgroundPicture(Maps->ChartBackMap());
    N9->setChecked(true);
}

void TForm1::Timer1Timer()
{
    TrackBar1->setValue(TrackBar1->value() + 1);
    if (TrackBar1->value() == TrackBar1->maximum()) {
        // Set, not inverted: the "自動" command may have stopped auto-play
        // while this step's record was on display behind an error box.
        AutoPlay = false;
        N5->setText(Text(kStopCaption));
        Timer1->stop();
    }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    const QString fileName = urls.first().toLocalFile();
    event->acceptProposedAction();
    // Opened once the drop has finished, so that the loader's boxes do not
    // hold up the program the file came from.
    QTimer::singleShot(0, this, [this, fileName] { RunHandler(this, [this, &fileName] { OpenFile(fileName); }); });
}

}  // namespace senki
