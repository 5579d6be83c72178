#pragma once
// Turns a record index into the half month it stands for. Record 0 is the
// second half of September 1939, and the records follow without gaps.

#include <cstdint>
#include <string>

namespace senki {

// The fixed caption text in front of the date; it ends in one blank.
inline constexpr const char* kCaptionPrefix = "トルメリア 戦記 ";

// The date text of record `index` (0 or more; a negative index throws), such as "1939/09/下旬", in UTF-8.
// The year has at least four digits and the month two; longer numbers are
// written in full.
std::string RecordDateText(std::int64_t index);

// kCaptionPrefix followed directly by the date text.
std::string RecordCaption(std::int64_t index);

}  // namespace senki
