#include "ui/message_box.h"

#include <QMessageBox>

namespace senki {

namespace {

MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

void ShowRealBox(const MessageBoxRequest& request)
{
    const QMessageBox::Icon icon = request.kind == MessageKind::Warning ? QMessageBox::Warning
                                   : request.kind == MessageKind::Error ? QMessageBox::Critical
                                                                        : QMessageBox::NoIcon;
    QMessageBox box(icon, request.caption, request.text, QMessageBox::Ok, request.owner);
    box.exec();
}

}  // namespace

void ShowMessageBox(QWidget* owner, MessageKind kind, const QString& caption, const QString& text)
{
    const MessageBoxRequest request{owner, kind, caption, text};
    if (Handler())
        Handler()(request);
    else
        ShowRealBox(request);
}

void ShowWarning(QWidget* owner, const QString& text)
{
    ShowMessageBox(owner, MessageKind::Warning, QString::fromUtf8(kWarningCaption), text);
}

void ShowError(QWidget* owner, const QString& text)
{
    ShowMessageBox(owner, MessageKind::Error, QString::fromUtf8(kErrorCaption), text);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace senki
