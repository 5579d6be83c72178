// senki-export snapshot: the map of one record, as the viewer paints it.

#include "cli/commands.h"

#include "export/map_snapshot.h"
#include "history/history_loader.h"
#include "history/history_store.h"
#include "map/base_map.h"
#include "map/territory_maps.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace senki::cli {

namespace {

constexpr const char* kUsage = "usage: senki-export snapshot SAVE --record N -o OUT.bmp|OUT.png\n";

bool ParseRecordIndex(const std::string& text, long long& index)
{
    char* end = nullptr;
    index = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && end && *end == '\0';
}

}  // namespace

int RunSnapshot(const Arguments& args)
{
    std::string path, out, recordText;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool takesValue = (args[i] == "--record" || args[i] == "-o") && i + 1 < args.size();
        if (takesValue && args[i] == "-o")
            out = args[++i];
        else if (takesValue)
            recordText = args[++i];
        else if (path.empty() && !args[i].empty() && args[i][0] != '-')
            path = args[i];
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    long long index = 0;
    if (path.empty() || out.empty() || !ParseRecordIndex(recordText, index)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    SaveFileReading reading = ReadSaveFile(path);
    if (reading.result == SaveFileReading::Result::Unreadable) {
        std::fprintf(stderr, "senki-export: %s\n", reading.error.c_str());
        return 1;
    }
    if (reading.result == SaveFileReading::Result::NoHistory) {
        std::fprintf(stderr, "senki-export: %s: %s\n", path.c_str(), kNoHistoryMessage);
        return 1;
    }
    HistoryStore store;
    store.Replace(std::move(reading.historyArea));
    if (!store.HoldsRecord(index)) {
        std::fprintf(stderr, "senki-export: record %lld is not in the history; it holds records 0 to %d\n", index,
                     store.LastIndex());
        return 1;
    }

    try {
        TerritoryMaps maps(LoadBaseMap());
        maps.PaintMap(store.ReadRecord(std::int32_t(index)).OwnerCodes);
        const QString target = QString::fromStdString(out);
        QString error;
        if (target.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
            if (!maps.WorkMap().save(target, "PNG")) {
                std::fprintf(stderr, "senki-export: cannot write \"%s\"\n", out.c_str());
                return 1;
            }
        } else if (!WriteMapSnapshot(maps.WorkMap(), target, error)) {
            std::fprintf(stderr, "senki-export: %s\n", error.toLocal8Bit().constData());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "senki-export: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace senki::cli
