// senki-makesave: writes a save file with a synthetic war.

#include "tools/savegen/synthetic_save.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: senki-makesave [--records N] [--block544 N] [--block720 N] [--trailing N] [--seed N] OUT.sav\n");
}

}  // namespace

int main(int argc, char** argv)
{
    senki::savegen::SaveOptions options;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> long long {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return std::strtoll(argv[++i], nullptr, 0);
        };
        if (arg == "--records")
            options.records = int(value());
        else if (arg == "--block544")
            options.block544Count = std::int32_t(value());
        else if (arg == "--block720")
            options.block720Count = std::int32_t(value());
        else if (arg == "--trailing")
            options.trailingBytes = int(value());
        else if (arg == "--seed")
            options.seed = std::uint64_t(value());
        else if (!arg.empty() && arg[0] != '-' && out.empty())
            out = arg;
        else {
            Usage();
            return 2;
        }
    }
    if (out.empty()) {
        Usage();
        return 2;
    }
    std::error_code ignored;
    const auto parent = std::filesystem::path(out).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ignored);
    std::string error;
    if (!senki::savegen::WriteSaveFile(out, options, error)) {
        std::fprintf(stderr, "senki-makesave: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
