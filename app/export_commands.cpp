// File > "今のマップを保存" (N2Click) and File > "ムービーで保存" (N10Click).

#include "app/main_window.h"
#include "app/map_view.h"
#include "export/map_snapshot.h"
#include "export/movie_frames.h"
#include "ui/message_box.h"

#include <QCoreApplication>
#include <QSlider>

#include <stdexcept>

namespace senki {

namespace {

// Shown when the movie command is chosen while an earlier export is still compressing.
constexpr const char* kExportRunningMessage = "ムービーの保存が終わるまでお待ちください.";

// Both exports set the shared save dialog anew each time: one entry whose
// description and pattern are the same, the default extension, and the
// directory that holds the program.
void PrepareSaveDialog(FileDialog& dialog, const QString& extension)
{
    dialog.settings.filter = QStringLiteral("*.%1 (*.%1)").arg(extension);
    dialog.settings.defaultSuffix = extension;
    dialog.settings.initialDir = QCoreApplication::applicationDirPath();
}

}  // namespace

void TForm1::N2Click()
{
    if (!History.Loaded())
        return;
    PrepareSaveDialog(SaveDialog1, QStringLiteral("bmp"));
    if (!SaveDialog1.Execute(this))
        return;
    QString error;
    if (!WriteMapSnapshot(Maps->WorkMap(), SaveDialog1.FileName(), error))
        throw std::runtime_error(error.toStdString());
}

void TForm1::N10Click()
{
    if (!History.Loaded())
        return;
    // The compressing re-save of an export still running handles events, so
    // this command can be chosen again before that export has ended.
    if (AviWriter1.IsBusy()) {
        ShowWarning(this, QString::fromUtf8(kExportRunningMessage));
        return;
    }
    PrepareSaveDialog(SaveDialog1, QStringLiteral("avi"));
    if (SaveDialog1.Execute(this)) {
        AviWriter1.SetFileName(SaveDialog1.FileName());
        AviWriter1.SetWidth(std::uint16_t(Image1->Picture().width()));
        AviWriter1.SetHeight(std::uint16_t(Image1->Picture().height()));
        if (AviWriter1.Open()) {
            try {
                WriteMovieFrames();
            } catch (...) {
                // Release the movie without offering to compress what is only a part of it.
                AviWriter1.SetCompress(false);
                AviWriter1.Close();
                AviWriter1.SetCompress(true);
                throw;
            }
        }
        AviWriter1.Close();
    }
    ShowRecord(TrackBar1->value());
}

bool TForm1::WriteMovieFrames()
{
    for (std::int32_t record = 0; record <= History.LastIndex(); ++record) {
        ShowRecord(record);
        // The date goes on the map view's own copy, never on WorkMap.
        const bool written = AddRecordFrames(AviWriter1, Image1->Picture(), record);
        repaint();
        if (!written)
            return false;  // the writer has reported the failed write
    }
    return true;
}

}  // namespace senki
