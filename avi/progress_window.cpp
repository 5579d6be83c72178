#include "avi/progress_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace senki {

TProgressWindow* ProgressWindow = nullptr;
std::int32_t AbortRequest = 0;

namespace {
constexpr int kClientWidth = 200;
constexpr int kClientHeight = 80;
}  // namespace

TProgressWindow::TProgressWindow(const QString& caption, const QString& label, const QString& abortCaption)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setWindowTitle(caption);
    setFixedSize(kClientWidth, kClientHeight);

    Label1 = new QLabel(label, this);
    Label1->move(8, 8);
    Label1->adjustSize();

    Abort1 = new QPushButton(abortCaption, this);
    Abort1->setGeometry((kClientWidth - 72) / 2, 48, 72, 24);
    connect(Abort1, &QPushButton::clicked, this, &TProgressWindow::Abort1Click);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry((kClientWidth - 160) / 2, 24, 160, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
}

void TProgressWindow::ShowCentred()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
}

void TProgressWindow::Abort1Click()
{
    AbortRequest = kUserAbort;
}

std::int32_t SaveProgressCallback(std::int32_t percent)
{
    if (ProgressWindow) {
        ProgressWindow->ProgressBar1->setValue(percent);
        ProgressWindow->repaint();
    }
    QCoreApplication::processEvents();
    return AbortRequest;
}

}  // namespace senki
