#pragma once
// The window's open and save dialogs. A dialog keeps its settings and the last
// name chosen in it, and shows itself through a runner that tests replace, so
// no test blocks on a modal dialog.

#include <QString>

#include <functional>

class QWidget;

namespace senki {

struct FileDialogSettings {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString filter;         // Qt's form: "description (*.ext)"
    QString defaultSuffix;  // appended to a name typed without one, e.g. "sav"
    QString initialDir;     // relative names count from the current directory
    QString title;          // empty: the system's default title
};

class FileDialog {
public:
    // Shows the dialog with `settings`, offering `fileName`; returns the
    // chosen path, or an empty string when the user cancels.
    using Runner = std::function<QString(QWidget* owner, const FileDialogSettings& settings, const QString& fileName)>;

    explicit FileDialog(FileDialogSettings::Kind kind) { settings.kind = kind; }

    // Shows the dialog; true with FileName() set when a name was chosen.
    bool Execute(QWidget* owner);
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }

    FileDialogSettings settings;
    Runner runner;  // empty: a real QFileDialog

private:
    QString fileName_;
};

// The real dialog, modal over `owner`.
QString RunQtFileDialog(QWidget* owner, const FileDialogSettings& settings, const QString& fileName);

}  // namespace senki
