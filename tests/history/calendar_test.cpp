#include "history/calendar.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace senki {
namespace {

TEST(CalendarTest, DateTextOfRecords)
{
    const struct {
        std::int64_t index;
        const char* text;
    } cases[] = {
        {0, "1939/09/下旬"},      {1, "1939/10/上旬"},      {2, "1939/10/下旬"},       {6, "1939/12/下旬"},
        {7, "1940/01/上旬"},      {30, "1940/12/下旬"},     {31, "1941/01/上旬"},      {255, "1950/05/上旬"},
        {256, "1950/05/下旬"},    {193446, "9999/12/下旬"}, {193447, "10000/01/上旬"},
        {INT32_MAX, "89480425/01/上旬"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecordDateText(c.index), c.text) << "record " << c.index;
}

TEST(CalendarTest, CaptionHasOneBlankBeforeTheDate)
{
    EXPECT_EQ(RecordCaption(0), "トルメリア 戦記 1939/09/下旬");
    EXPECT_EQ(RecordCaption(1), "トルメリア 戦記 1939/10/上旬");
}

TEST(CalendarTest, NegativeIndexIsRefused)
{
    EXPECT_THROW(RecordDateText(-1), std::out_of_range);
}

}  // namespace
}  // namespace senki
