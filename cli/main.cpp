// senki-export: the viewer's history, maps and movies from the command line.

#include "cli/commands.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "usage: senki-export COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  info SAVE [--json]   the history held by a save file: record count,\n"
    "                       history offset, first and last half month\n"
    "  snapshot SAVE --record N -o OUT\n"
    "                       the map of record N as the viewer paints it, as a\n"
    "                       32-bit BMP (or PNG when OUT ends in .png)\n"
    "  movie SAVE -o OUT.avi [--codec NAME] [--quality Q] [--keyframes N] [--bitrate KBPS]\n"
    "                       the whole history as an AVI movie, 15 frames of each\n"
    "                       record's map with its date at 30 frames a second,\n"
    "                       compressed with NAME (default h264; none keeps full\n"
    "                       frames); --quality 0..100\n"
    "  movie --list-codecs  the codecs that can be chosen\n"
    "  --help               this text\n";

struct Command {
    const char* name;
    int (*run)(const senki::cli::Arguments&);
};

constexpr Command kCommands[] = {
    {"info", senki::cli::RunInfo},
    {"snapshot", senki::cli::RunSnapshot},
    {"movie", senki::cli::RunMovie},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    for (const Command& command : kCommands)
        if (!std::strcmp(argv[1], command.name))
            return command.run(senki::cli::Arguments(argv + 2, argv + argc));
    std::fprintf(stderr, "senki-export: unknown command \"%s\"\n\n%s", argv[1], kUsage);
    return 2;
}
