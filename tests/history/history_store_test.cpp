#include "history/history_store.h"
#include "tools/savegen/synthetic_save.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace senki {
namespace {

std::vector<std::uint8_t> HistoryArea(int records, std::uint64_t seed, int trailing = 0)
{
    std::vector<std::uint8_t> area(std::size_t(records) * kRecordSize + std::size_t(trailing), 0x77);
    const auto war = savegen::SyntheticWar(records, seed);
    for (int i = 0; i < records; ++i)
        EncodeRecord(war[i], area.data() + std::size_t(i) * kRecordSize);
    return area;
}

TEST(HistoryStoreTest, StartsEmptyAndReadsNothing)
{
    HistoryStore store;
    EXPECT_FALSE(store.Loaded());
    EXPECT_EQ(store.LastIndex(), -1);
    EXPECT_THROW(store.ReadRecord(0), std::out_of_range);
}

TEST(HistoryStoreTest, ChartValuesStopAtRecord255ButEveryRecordIsReadable)
{
    HistoryStore store;
    store.Replace(HistoryArea(300, 7, 50));
    const auto war = savegen::SyntheticWar(300, 7);
    EXPECT_TRUE(store.Loaded());
    EXPECT_EQ(store.LastIndex(), 299);
    EXPECT_EQ(store.LastChartIndex(), 255);
    for (int i = 0; i <= 255; ++i)
        for (int s = 0; s < kSeriesCount; ++s)
            ASSERT_EQ(store.SeriesTable()[s][i], war[i].SeriesValues[s]) << "record " << i;
    EXPECT_EQ(store.ReadRecord(299).OwnerCodes, war[299].OwnerCodes);
    EXPECT_THROW(store.ReadRecord(300), std::out_of_range) << "the trailing part record is never read";
    EXPECT_THROW(store.ReadRecord(-1), std::out_of_range);
}

TEST(HistoryStoreTest, ReplacingWithAShorterHistoryKeepsHigherChartValuesUnread)
{
    HistoryStore store;
    store.Replace(HistoryArea(200, 1));
    const std::int32_t before = store.SeriesTable()[1][120];
    store.Replace(HistoryArea(50, 2));
    EXPECT_EQ(store.LastIndex(), 49);
    EXPECT_EQ(store.LastChartIndex(), 49);
    EXPECT_EQ(store.SeriesTable()[1][120], before);
    EXPECT_EQ(store.SeriesTable()[0][49], savegen::SyntheticWar(50, 2)[49].SeriesValues[0]);
}

TEST(HistoryStoreTest, RefusesAnAreaWithoutAWholeRecordAndStaysAsItWas)
{
    HistoryStore store;
    store.Replace(HistoryArea(1, 3));
    EXPECT_EQ(store.LastIndex(), 0);
    EXPECT_THROW(store.Replace(std::vector<std::uint8_t>(122)), std::invalid_argument);
    EXPECT_EQ(store.LastIndex(), 0);
    EXPECT_EQ(store.HistoryData().size(), std::size_t(kRecordSize));
}

}  // namespace
}  // namespace senki
