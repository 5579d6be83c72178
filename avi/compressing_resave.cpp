#include "avi/compressing_resave.h"

#include "avi/fourcc.h"
#include "avi/movie_reader.h"
#include "avi/movie_transcoder.h"
#include "avi/progress_window.h"
#include "avi/save_options_dialog.h"
#include "avi/temp_movie_name.h"
#include "ui/message_box.h"

#include <QDir>
#include <QFile>
#include <QPointer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace senki {

namespace {

bool running = false;

class RunningFlag {
public:
    RunningFlag() { running = true; }
    ~RunningFlag() { running = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;
};

// The progress window is freed by the toolkit once the events already
// pending have been handled, as the save's callback may be inside one.
struct LaterDeleter {
    void operator()(QWidget* window) const { window->deleteLater(); }
};

std::string LocalName(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

// Puts the compressed movie in place of the uncompressed one in one step,
// so that one of the two always lies at `fileName`.
void ReplaceMovie(const QString& tempName, const QString& fileName, QWidget* owner)
{
    if (std::rename(LocalName(tempName).c_str(), LocalName(fileName).c_str()) == 0)
        return;
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    ShowWarning(owner, QStringLiteral("圧縮ＡＶＩファイル %1 を %2 に置き換えられませんでした (%3).\n"
                                      "圧縮前のファイルは %2 に残っています.")
                           .arg(QDir::toNativeSeparators(tempName), QDir::toNativeSeparators(fileName), reason));
}

}  // namespace

bool ResaveRunning()
{
    return running;
}

void RunCompressingResave(const QString& fileName, SaveOptions& options, const ResaveTexts& texts,
                          QWidget* ownerWidget)
{
    if (running)
        return;
    const RunningFlag runningFlag;
    // Every event is handled during the save, the owner's closing among them.
    const QPointer<QWidget> owner(ownerWidget);

    auto movie = std::make_unique<MovieReader>();
    switch (movie->Open(LocalName(fileName))) {
    case MovieReader::OpenStatus::Opened:
        break;
    case MovieReader::OpenStatus::CannotOpenFile:
        ShowWarning(owner, texts.cannotOpenFile);
        return;
    case MovieReader::OpenStatus::CannotOpenStream:
        ShowWarning(owner, texts.streamWord + texts.cannotOpenStream);
        return;
    }

    options.fccType = kStreamTypeVideo;
    options.fccHandler = kFullFramesHandler;
    ShowSaveOptionsDialog(owner, fileName, options);
    if (options.fccHandler == kFullFramesHandler)
        return;

    const QString tempName = TempMovieName(fileName);
    AbortRequest = 0;  // an abort of an earlier re-save does not stop this one
    std::unique_ptr<TProgressWindow, LaterDeleter> window(
        new TProgressWindow(texts.progressCaption, texts.progressLabel, texts.abortCaption));
    ProgressWindow = window.get();
    window->ShowCentred();

    const TranscodeResult result = TranscodeMovie(*movie, LocalName(tempName), options,
                                                  [](int percent) { return int(SaveProgressCallback(percent)); });

    window->close();
    ProgressWindow = nullptr;
    window.reset();
    movie.reset();  // nothing holds the uncompressed movie open from here on

    if (result.Done()) {
        ReplaceMovie(tempName, fileName, owner);
        return;
    }
    QString message = texts.abortedMessage;
    if (result.outcome == TranscodeResult::Outcome::Failed)
        message += QLatin1Char('\n') + QString::fromStdString(result.error);
    ShowWarning(owner, message);
    QFile::remove(tempName);
}

}  // namespace senki
