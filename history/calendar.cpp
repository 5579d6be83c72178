#include "history/calendar.h"

#include <cstdio>
#include <stdexcept>

namespace senki {

namespace {
constexpr std::int64_t kFirstHalfMonth = 17;  // the second half of September, counted from January 1939
constexpr const char* kHalfLabel[2] = {"上旬", "下旬"};
}  // namespace

std::string RecordDateText(std::int64_t index)
{
    if (index < 0)
        throw std::out_of_range("a record index is never negative");
    const std::int64_t k = index + kFirstHalfMonth;
    const std::int64_t year = 1939 + k / 24;
    const int month = int(k % 24) / 2 + 1;
    const int half = int(k % 2);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld/%02d/%s", static_cast<long long>(year), month, kHalfLabel[half]);
    return text;
}

std::string RecordCaption(std::int64_t index)
{
    return std::string(kCaptionPrefix) + RecordDateText(index);
}

}  // namespace senki
