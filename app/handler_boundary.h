#pragma once
// Every event handler of the window runs inside RunHandler: an error raised in
// it ends that handler and is shown in the default error box, and the window
// carries on with the state reached. No exception crosses Qt's event loop.

#include "ui/message_box.h"

#include <QString>

#include <exception>
#include <utility>

namespace senki {

template <typename Handler>
void RunHandler(QWidget* owner, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        ShowError(owner, QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(owner, QStringLiteral("予期しないエラーが発生しました"));
    }
}

}  // namespace senki
