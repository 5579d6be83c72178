#include "app/file_dialog.h"

#include <QDir>
#include <QFileDialog>

namespace senki {

bool FileDialog::Execute(QWidget* owner)
{
    const QString chosen = runner ? runner(owner, settings, fileName_) : RunQtFileDialog(owner, settings, fileName_);
    if (chosen.isEmpty())
        return false;
    fileName_ = chosen;
    return true;
}

QString RunQtFileDialog(QWidget* owner, const FileDialogSettings& settings, const QString& fileName)
{
    QFileDialog dialog(owner, settings.title);
    const bool open = settings.kind == FileDialogSettings::Kind::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // A typed name of a missing file is accepted; the load reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    // An existing file is replaced without asking, as the export commands expect.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!settings.filter.isEmpty())
        dialog.setNameFilter(settings.filter);
    dialog.setDefaultSuffix(settings.defaultSuffix);
    if (!settings.initialDir.isEmpty())
        dialog.setDirectory(QDir::current().absoluteFilePath(settings.initialDir));
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);  // the last name chosen is offered again
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace senki
