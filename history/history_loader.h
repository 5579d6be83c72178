#pragma once
// Reads a save file and finds its history area, without touching any store:
// the caller replaces its store only when a history was found.

#include <cstdint>
#include <string>
#include <vector>

namespace senki {

// The loader's message for a file that holds no history.
inline constexpr const char* kNoHistoryMessage = "このデータは対応していません";
inline constexpr const char* kNoHistoryCaption = "セーブデータエラー";

struct SaveFileReading {
    enum class Result {
        History,     // at least one whole record follows the fixed part
        NoHistory,   // nothing, or less than one whole record, follows the fixed part
        Unreadable,  // the file could not be opened or read; `error` says why
    };
    Result result = Result::Unreadable;
    std::int64_t fileLength = 0;
    std::int64_t historyOffset = 0;         // F; meaningful when a history area was found
    std::vector<std::uint8_t> historyArea;  // the bytes from F to the end of the file
    std::string error;                      // names the file and the system's reason
};

// Reads the counts of the fixed part and the whole history area behind it.
// The fixed part itself is skipped, not read.
SaveFileReading ReadSaveFile(const std::string& path);

}  // namespace senki
