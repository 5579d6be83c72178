#pragma once
// The progress window of the compressing re-save and the process-wide state
// that its progress callback reaches: the compressing save reports through a
// callback that carries no context of its own.

#include <QWidget>

#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace senki {

// What Abort1 puts into AbortRequest: 0x40C6, the low 16 bits of the
// user-abort error code that the save passes on.
inline constexpr std::int32_t kUserAbort = 16582;

// A small modeless window, 200 × 80, with a label, a bar from 0 to 100 and
// an abort button. Its close box only hides it: the save goes on, and only
// the button stops it.
class TProgressWindow : public QWidget {
    Q_OBJECT
public:
    TProgressWindow(const QString& caption, const QString& label, const QString& abortCaption);

    QLabel* Label1;              // "圧縮ＡＶＩファイル作成中..."
    QProgressBar* ProgressBar1;  // the percentage done
    QPushButton* Abort1;         // "中断"

    // Shows the window centred on the screen.
    void ShowCentred();

private:
    void Abort1Click();
};

// The progress window while a re-save runs, otherwise nullptr.
extern TProgressWindow* ProgressWindow;
// 0, or kUserAbort once Abort1 was clicked during the running re-save.
extern std::int32_t AbortRequest;

// The save's progress callback: sets the bar to `percent`, repaints the
// window at once, lets the application handle what is pending (a click on
// Abort1 among it) and returns AbortRequest; non-zero stops the save.
std::int32_t SaveProgressCallback(std::int32_t percent);

}  // namespace senki
