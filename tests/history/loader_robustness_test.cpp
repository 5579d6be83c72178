// The loader against files of any shape: random counts and lengths around the
// fixed part, extreme counts, and a file of several gigabytes. Run under the
// sanitizers, an out-of-bounds read here fails the build's test run.

#include "history/history_loader.h"
#include "history/history_record.h"
#include "history/history_store.h"
#include "history/save_layout.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace senki {
namespace {

std::vector<std::uint8_t> HeadWithCounts(std::int32_t block720, std::int32_t block544, std::size_t length)
{
    std::vector<std::uint8_t> bytes(length, 0x3C);
    auto put = [&](std::size_t offset, std::int32_t value) {
        for (int b = 0; b < 4 && offset + b < length; ++b)
            bytes[offset + b] = std::uint8_t(std::uint32_t(value) >> (8 * b));
    };
    put(376, block720);
    put(380, block544);
    return bytes;
}

TEST(LoaderRobustnessTest, RandomFilesGiveAConsistentResult)
{
    testing::TempDir dir;
    std::mt19937_64 random(20261211);
    const std::int32_t interesting[] = {0, 1, 2, -1, INT32_MIN, INT32_MAX, 0x7fff, 3};
    for (int round = 0; round < 200; ++round) {
        const std::int32_t b720 = interesting[random() % 8];
        const std::int32_t b544 = interesting[random() % 8];
        const std::int64_t f = FixedPartLength(b544, b720);
        std::int64_t length;
        switch (random() % 3) {
        case 0: length = std::int64_t(random() % 1000); break;            // too short for anything
        case 1: length = f + std::int64_t(random() % 1000) - 500; break;  // around F
        default: length = f + 123 * std::int64_t(random() % 40) + std::int64_t(random() % 123); break;
        }
        if (length < 0 || length > 4'000'000)
            length = std::int64_t(random() % 1000);
        const std::string path = dir.File("random.sav");
        testing::WriteBytes(path, HeadWithCounts(b720, b544, std::size_t(length)));

        const SaveFileReading reading = ReadSaveFile(path);
        SCOPED_TRACE("round " + std::to_string(round) + " length " + std::to_string(length));
        const bool hasRecord = length >= kCountsEnd && length - f >= kRecordSize;
        ASSERT_EQ(reading.result, hasRecord ? SaveFileReading::Result::History : SaveFileReading::Result::NoHistory);
        if (!hasRecord)
            continue;
        ASSERT_EQ(std::int64_t(reading.historyArea.size()), length - f);
        HistoryStore store;
        store.Replace(reading.historyArea);
        EXPECT_EQ(store.LastIndex(), (length - f) / kRecordSize - 1);
        EXPECT_NO_THROW(store.ReadRecord(store.LastIndex()));
    }
}

// A sparse file of 3 GiB whose counts put the history area in its last
// kilobytes: offsets beyond 32 bits, and only the history is read.
TEST(LoaderRobustnessTest, HistoryBehindAFixedPartOfSeveralGigabytes)
{
    testing::TempDir dir;
    const std::string path = dir.File("huge.sav");
    const std::int32_t b720 = 4'400'000;  // 3.17 GB of 720-byte blocks
    const std::int64_t f = FixedPartLength(0, b720);
    const std::int64_t length = f + 5 * kRecordSize + 9;
    testing::WriteBytes(path, HeadWithCounts(b720, 0, kCountsEnd));
    {
        const int fd = ::open(path.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(length)), 0);
        std::uint8_t record[kRecordSize] = {};
        record[1] = 42;
        ASSERT_EQ(::pwrite(fd, record, sizeof record, off_t(f + 4 * kRecordSize)), ssize_t(sizeof record));
        ::close(fd);
    }
    const SaveFileReading reading = ReadSaveFile(path);
    ASSERT_EQ(reading.result, SaveFileReading::Result::History) << reading.error;
    EXPECT_EQ(reading.historyOffset, f);
    ASSERT_EQ(reading.historyArea.size(), std::size_t(5 * kRecordSize + 9));
    HistoryStore store;
    store.Replace(reading.historyArea);
    EXPECT_EQ(store.LastIndex(), 4);
    EXPECT_EQ(store.SeriesTable()[0][4], 42);
}

TEST(LoaderRobustnessTest, ExtremeCountsLeaveNoHistory)
{
    testing::TempDir dir;
    for (const std::int32_t count : {INT32_MAX, INT32_MIN}) {
        testing::WriteBytes(dir.File("c.sav"), HeadWithCounts(count, count, 800'000));
        const auto reading = ReadSaveFile(dir.File("c.sav"));
        // INT32_MIN counts as no blocks, so the history begins at 746824.
        EXPECT_EQ(reading.result, count < 0 ? SaveFileReading::Result::History : SaveFileReading::Result::NoHistory);
    }
}

}  // namespace
}  // namespace senki
