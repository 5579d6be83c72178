// senki: the viewer. `senki [SAVE]` opens the window, and SAVE in it as
// File > "開く" would.

#include "app/handler_boundary.h"
#include "app/main_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>

extern "C" {
#include <libavutil/log.h>
}

namespace {

constexpr const char* kUsage =
    "usage: senki [SAVE]\n"
    "\n"
    "Opens the viewer, and the save file SAVE in it when one is given.\n";

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    av_log_set_level(AV_LOG_ERROR);  // the codecs' notes are of no use to a player
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments[0].startsWith('-'))) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    std::unique_ptr<senki::TForm1> window;
    try {
        window = std::make_unique<senki::TForm1>();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "senki: %s\n", error.what());
        return 1;
    }
    window->show();
    if (!arguments.isEmpty()) {
        const QString fileName = QFileInfo(arguments[0]).absoluteFilePath();
        senki::TForm1* form = window.get();
        QTimer::singleShot(0, form, [form, fileName] { senki::RunHandler(form, [&] { form->OpenFile(fileName); }); });
    }
    return app.exec();
}
