// senki-export info: what history a save file holds.

#include "cli/commands.h"

#include "history/calendar.h"
#include "history/history_loader.h"
#include "history/history_record.h"

#include <cstdio>

namespace senki::cli {

int RunInfo(const Arguments& args)
{
    std::string path;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--json")
            json = true;
        else if (path.empty() && !arg.empty() && arg[0] != '-')
            path = arg;
        else {
            std::fputs("usage: senki-export info SAVE [--json]\n", stderr);
            return 2;
        }
    }
    if (path.empty()) {
        std::fputs("usage: senki-export info SAVE [--json]\n", stderr);
        return 2;
    }

    const SaveFileReading reading = ReadSaveFile(path);
    switch (reading.result) {
    case SaveFileReading::Result::Unreadable:
        std::fprintf(stderr, "senki-export: %s\n", reading.error.c_str());
        return 1;
    case SaveFileReading::Result::NoHistory:
        std::fprintf(stderr, "senki-export: %s: %s\n", path.c_str(), kNoHistoryMessage);
        return 1;
    case SaveFileReading::Result::History:
        break;
    }

    const long long records = static_cast<long long>(reading.historyArea.size() / kRecordSize);
    const long long trailing = static_cast<long long>(reading.historyArea.size() % kRecordSize);
    const std::string first = RecordDateText(0);
    const std::string last = RecordDateText(records - 1);
    if (json) {
        // The texts are plain ASCII digits, slashes and two kanji: nothing to escape.
        std::printf("{\"records\": %lld, \"history_offset\": %lld, \"last_index\": %lld, "
                    "\"file_length\": %lld, \"trailing_bytes\": %lld, \"first\": \"%s\", \"last\": \"%s\"}\n",
                    records, static_cast<long long>(reading.historyOffset), records - 1,
                    static_cast<long long>(reading.fileLength), trailing, first.c_str(), last.c_str());
    } else {
        std::printf("records         %lld\n", records);
        std::printf("history offset  %lld\n", static_cast<long long>(reading.historyOffset));
        std::printf("last index      %lld\n", records - 1);
        std::printf("trailing bytes  %lld\n", trailing);
        std::printf("first           %s\n", first.c_str());
        std::printf("last            %s\n", last.c_str());
    }
    return 0;
}

}  // namespace senki::cli
