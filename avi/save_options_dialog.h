#pragma once
// The save-options dialog of the compressing re-save: the choice of a codec
// for the movie's video stream with its key-frame interval, data rate and
// quality where the codec takes them, and a preview of the movie's first
// frame through the chosen codec beside the original. Behind a seam, so that
// tests answer it instead of blocking on a modal dialog.

#include "avi/save_options.h"

#include <QString>

#include <functional>

class QWidget;

namespace senki {

// Shows the dialog for the movie at `movieFile`, modal. Confirming leaves
// the user's choice in `options`; cancelling leaves `options` as it was.
void ShowSaveOptionsDialog(QWidget* owner, const QString& movieFile, SaveOptions& options);

using SaveOptionsDialogHandler = std::function<void(SaveOptions&)>;
// Replaces the dialog (for tests); an empty handler restores the real one.
// Returns the handler that was in place.
SaveOptionsDialogHandler SetSaveOptionsDialogHandler(SaveOptionsDialogHandler handler);

}  // namespace senki
