#pragma once
// Modal message boxes with a single OK button, behind a seam: the programs
// show real boxes, and tests install a handler that records them instead of
// blocking on a modal loop.

#include <QString>

#include <functional>

class QWidget;

namespace senki {

enum class MessageKind {
    Plain,    // no icon; the caller's caption
    Warning,  // caption "警告"
    Error,    // caption "エラー"
};

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    MessageKind kind = MessageKind::Plain;
    QString caption;
    QString text;
};

inline constexpr const char* kWarningCaption = "警告";
inline constexpr const char* kErrorCaption = "エラー";

// Shows a modal box with an OK button and returns when it is closed.
void ShowMessageBox(QWidget* owner, MessageKind kind, const QString& caption, const QString& text);
// A warning box ("警告") or an error box ("エラー").
void ShowWarning(QWidget* owner, const QString& text);
void ShowError(QWidget* owner, const QString& text);

using MessageBoxHandler = std::function<void(const MessageBoxRequest&)>;
// Replaces how boxes are shown (for tests); an empty handler restores the
// real boxes. Returns the handler that was in place.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace senki
