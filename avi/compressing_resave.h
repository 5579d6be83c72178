#pragma once
// The compressing re-save: the last stage of closing a movie that was written
// with full frames. The user chooses a codec and its options; unless the
// choice is full frames, the movie is rewritten compressed into a temporary
// file beside it while a progress window offers an abort button, and the
// compressed file then takes the place of the uncompressed one.

#include "avi/save_options.h"

#include <QString>

class QWidget;

namespace senki {

// The user-visible texts, which the writer component keeps per instance.
struct ResaveTexts {
    QString abortCaption;      // "中断"
    QString progressCaption;   // "進行状況"
    QString progressLabel;     // "圧縮ＡＶＩファイル作成中..."
    QString abortedMessage;    // "圧縮ＡＶＩファイル作成を中断しました."
    QString cannotOpenFile;    // "ＡＶＩファイルを開けませんでした."
    QString cannotOpenStream;  // "ストリームを開けませんでした."
    QString streamWord;        // "映像", put directly in front of cannotOpenStream
};

// Runs the stage on the movie at `fileName`. `options` holds the previous
// choice on entry and the user's choice on return. Reports to the user by
// itself; `owner` owns the dialogs and message boxes. The compressed movie
// takes the movie's name in one rename, so one of the two movies always lies
// there; should the rename fail, the user is told both names.
// The stage clears an earlier abort request when it starts. While it runs,
// the events of the whole application keep being handled; ResaveRunning()
// tells the commands that must not start another export meanwhile, and a
// call during a running re-save returns at once, leaving the movie as it is.
void RunCompressingResave(const QString& fileName, SaveOptions& options, const ResaveTexts& texts,
                          QWidget* owner);

// True while a re-save runs in this process.
bool ResaveRunning();

}  // namespace senki
