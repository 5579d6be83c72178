#pragma once
// TForm1, the viewer's one window: the map view, the timeline slider with
// auto-play, the menus, the open dialog, the three map bitmaps and the history
// store. The window only wires; painting, loading and the calendar live in
// the core library.

#include "app/file_dialog.h"
#include "avi/avi_writer.h"
#include "history/history_store.h"
#include "map/territory_maps.h"

#include <QMainWindow>

#include <cstdint>
#include <memory>

class QAction;
class QLineSeries;
class QMenu;
class QSlider;
class QTimer;

namespace senki {

class MapView;
class ValueChart;

// The caption before any record is shown.
inline constexpr const char* kInitialCaption = "トルメリア 戦記";
// The captions of the auto-play command N5 once auto-play has started or stopped.
inline constexpr const char* kAutoCaption = "自動";
inline constexpr const char* kStopCaption = "停止";

class TForm1 : public QMainWindow {
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Components, in their design order.
    ValueChart* Chart1 = nullptr;  // the value chart, over the map view's place
    QLineSeries* Series1 = nullptr;
    QLineSeries* Series2 = nullptr;
    QLineSeries* Series3 = nullptr;
    MapView* Image1 = nullptr;    // the map view
    QSlider* TrackBar1 = nullptr; // the timeline
    QTimer* Timer1 = nullptr;     // the auto-play step
    QMenu* fairu1 = nullptr;      // "ファイル"
    QAction* N1 = nullptr;        // "開く"
    QAction* N2 = nullptr;        // "今のマップを保存"
    QAction* N3 = nullptr;        // separator
    QAction* N4 = nullptr;        // "終了"
    QAction* N5 = nullptr;        // "自動", a command in the menu bar itself
    QMenu* N6 = nullptr;          // "表示"
    QAction* N7 = nullptr;        // "マップ"
    QAction* N8 = nullptr;        // "表"
    QAction* N9 = nullptr;        // "マップ+表"
    FileDialog OpenDialog1{FileDialogSettings::Kind::Open};
    FileDialog SaveDialog1{FileDialogSettings::Kind::Save};
    // The movie writer: full frames at 16 bits and 30 frames a second, then
    // the compressing re-save. The export sets its file name and size.
    TAviWriter AviWriter1{this};
    QAction* N10 = nullptr;       // "ムービーで保存"

    // State.
    std::unique_ptr<TerritoryMaps> Maps;  // BaseMap, WorkMap, ChartBackMap
    bool AutoPlay = false;
    HistoryStore History;                 // HistoryData, LastIndex, SeriesTable, Loaded

    // Handlers. Each runs inside the handler boundary when Qt calls it; tests
    // call them directly.
    void N1Click();  // File > "開く"
    void N2Click();  // File > "今のマップを保存"
    void N4Click();  // File > "終了"
    void N5Click();  // "自動"
    void N7Click();  // View > "マップ"
    void N8Click();  // View > "表"
    void N9Click();  // View > "マップ+表"
    void N10Click();  // File > "ムービーで保存"
    void TrackBar1Change();
    void Timer1Timer();

    // Reads a save file into the store and sets the slider's range; a file
    // without history gets the loader's box and changes nothing. A file that
    // cannot be read throws with the reason, which names the file.
    void LoadHistory(const QString& fileName);
    // Puts record `index` (0..LastIndex) on display.
    void ShowRecord(std::int32_t index);
    // The movie export's frame loop: every record shown in turn, its date
    // written on the map view's picture and the picture handed to AviWriter1
    // fifteen times, the window repainted at once. False when a write failed.
    bool WriteMovieFrames();
    // What File > "開く" does once a name is chosen: load, then show record 0.
    void OpenFile(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildDesign();
    void BuildMenu();
    void FormCreate();
    bool FormCloseQuery();
    // The display step after a load: slider to 0 and record 0 shown.
    void ShowFirstRecord();
    void FixWindowSize();
};

}  // namespace senki
