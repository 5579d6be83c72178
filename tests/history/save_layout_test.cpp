#include "history/history_loader.h"
#include "history/history_record.h"
#include "history/save_layout.h"
#include "support/temp_dir.h"
#include "tools/savegen/synthetic_save.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

namespace senki {
namespace {

struct FixedPartCase {
    std::int32_t block544;
    std::int32_t block720;
    std::int64_t expected;
    friend std::ostream& operator<<(std::ostream& out, const FixedPartCase& c)
    {
        return out << "B544 " << c.block544 << ", B720 " << c.block720;
    }
};

class FixedPartLengthTest : public ::testing::TestWithParam<FixedPartCase> {};

TEST_P(FixedPartLengthTest, AddsEachPositiveCountTimesItsBlockSize)
{
    const auto& c = GetParam();
    EXPECT_EQ(FixedPartLength(c.block544, c.block720), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, FixedPartLengthTest,
                         ::testing::Values(FixedPartCase{0, 0, 746824},                 // no variable blocks
                                           FixedPartCase{2, 3, 750072},                 // 746824 + 1088 + 2160
                                           FixedPartCase{3, 2, 746824 + 1632 + 1440},   // swapped counts move F
                                           FixedPartCase{-1, -7, 746824},               // negative counts add nothing
                                           FixedPartCase{INT32_MIN, 5, 746824 + 3600},  //
                                           FixedPartCase{INT32_MAX, INT32_MAX,           // no 32-bit overflow
                                                         746824 + 1264LL * INT32_MAX}));

// The counts are read from 376 (720-byte blocks) and 380 (544-byte blocks).
TEST(SaveLayoutTest, CountAt376SizesTheLargerBlocks)
{
    std::vector<std::uint8_t> head(kCountsEnd, 0xAB);
    const std::uint8_t one[4] = {1, 0, 0, 0}, zero[4] = {0, 0, 0, 0};
    std::copy_n(one, 4, head.begin() + 376);
    std::copy_n(zero, 4, head.begin() + 380);
    EXPECT_EQ(LocateHistory(head.data(), head.size(), 1 << 30), 746824 + 720);
    std::copy_n(zero, 4, head.begin() + 376);
    std::copy_n(one, 4, head.begin() + 380);
    EXPECT_EQ(LocateHistory(head.data(), head.size(), 1 << 30), 746824 + 544);
}

TEST(SaveLayoutTest, DecodesUnalignedLittleEndianValuesAndOwnerCodes)
{
    std::uint8_t bytes[kRecordSize] = {};
    bytes[0] = 0xFF;  // not interpreted
    const std::uint8_t values[12] = {0xE8, 0x03, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80};
    std::copy_n(values, 12, bytes + 1);
    for (int p = 0; p < kProvinceCount; ++p)
        bytes[13 + p] = std::uint8_t(p * 7);

    const HistoryRecord record = DecodeRecord(bytes);
    EXPECT_EQ(record.SeriesValues[0], 1000);
    EXPECT_EQ(record.SeriesValues[1], -1);
    EXPECT_EQ(record.SeriesValues[2], INT32_MIN);
    for (int p = 0; p < kProvinceCount; ++p)
        EXPECT_EQ(record.OwnerCodes[p], std::uint8_t(p * 7)) << "province " << p;

    std::uint8_t again[kRecordSize] = {};
    EncodeRecord(record, again);
    EXPECT_TRUE(std::equal(bytes, bytes + kRecordSize, again));
}

struct LengthCase {
    const char* name;
    std::int64_t length;  // relative to F when `afterFixedPart`, else absolute
    bool afterFixedPart;
    SaveFileReading::Result result;
    std::size_t records;
    friend std::ostream& operator<<(std::ostream& out, const LengthCase& c) { return out << c.name; }
};

class HistoryLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(HistoryLengthTest, FindsTheWholeRecordsBehindTheFixedPart)
{
    const auto& c = GetParam();
    testing::TempDir dir;
    savegen::SaveOptions options;
    options.block544Count = 2;
    options.block720Count = 3;
    options.records = 3;
    auto bytes = savegen::MakeSaveFile(options);
    const std::int64_t f = 750072;
    bytes.resize(std::size_t(c.afterFixedPart ? f + c.length : c.length), 0x5C);
    testing::WriteBytes(dir.File("save.sav"), bytes);

    const SaveFileReading reading = ReadSaveFile(dir.File("save.sav"));
    EXPECT_EQ(reading.result, c.result);
    EXPECT_EQ(reading.historyArea.size() / kRecordSize, c.records);
    if (c.result == SaveFileReading::Result::History) {
        EXPECT_EQ(reading.historyOffset, f);
        EXPECT_EQ(std::int64_t(reading.historyArea.size()), c.length) << "trailing bytes stay in the area";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, HistoryLengthTest,
    ::testing::Values(LengthCase{"empty", 0, false, SaveFileReading::Result::NoHistory, 0},
                      LengthCase{"countsIncomplete", 383, false, SaveFileReading::Result::NoHistory, 0},
                      LengthCase{"exactlyFixedPart", 0, true, SaveFileReading::Result::NoHistory, 0},
                      LengthCase{"oneByteOfHistory", 1, true, SaveFileReading::Result::NoHistory, 0},
                      LengthCase{"partRecordOnly", 122, true, SaveFileReading::Result::NoHistory, 0},
                      LengthCase{"oneRecord", 123, true, SaveFileReading::Result::History, 1},
                      LengthCase{"twoRecordsAndFourBytes", 250, true, SaveFileReading::Result::History, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveLayoutTest, OnlyTheCountsOfTheFixedPartMatter)
{
    testing::TempDir dir;
    savegen::SaveOptions options;
    options.records = 4;
    options.block544Count = 1;
    const auto original = savegen::MakeSaveFile(options);
    auto changed = original;
    for (std::size_t i = 0; i < std::size_t(FixedPartLength(1, 0)); ++i)
        if (i < 376 || i >= 384)
            changed[i] ^= 0xFF;
    testing::WriteBytes(dir.File("a.sav"), original);
    testing::WriteBytes(dir.File("b.sav"), changed);
    EXPECT_EQ(ReadSaveFile(dir.File("a.sav")).historyArea, ReadSaveFile(dir.File("b.sav")).historyArea);
}

TEST(SaveLayoutTest, UnreadableFilesNameTheFileAndTheReason)
{
    testing::TempDir dir;
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir.File("missing.sav"), "No such file or directory"},
        {dir.Path().string(), "Is a directory"},
    };
    for (const auto& c : cases) {
        const SaveFileReading reading = ReadSaveFile(c.path);
        EXPECT_EQ(reading.result, SaveFileReading::Result::Unreadable) << c.path;
        EXPECT_NE(reading.error.find(c.path), std::string::npos) << reading.error;
        EXPECT_NE(reading.error.find(c.reason), std::string::npos) << reading.error;
    }
}

}  // namespace
}  // namespace senki
