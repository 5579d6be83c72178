#include "export/map_snapshot.h"
#include "map/base_map.h"
#include "support/reference_fill.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tools/savegen/synthetic_save.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace senki {
namespace {

class SnapshotCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        options.records = 40;
        options.block544Count = 3;
        options.block720Count = -9;
        std::string error;
        ASSERT_TRUE(savegen::WriteSaveFile(dir.File("war.sav"), options, error));
    }
    testing::ProgramRun Snapshot(const std::string& args)
    {
        return testing::RunProgram(std::string(SENKI_EXPORT_PROGRAM) + " snapshot '" + dir.File("war.sav") + "' " + args,
                                   dir.File("stderr.txt"));
    }
    testing::TempDir dir;
    savegen::SaveOptions options;
};

TEST_F(SnapshotCommandTest, WritesTheRecordsMapAsAnIndependentFillWouldPaintIt)
{
    const auto war = savegen::SyntheticWar(options.records, options.seed);
    for (const int record : {0, 39}) {
        const auto run = Snapshot("--record " + std::to_string(record) + " -o '" + dir.File("map.bmp") + "'");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        QFile file(QString::fromStdString(dir.File("map.bmp")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), EncodeMapSnapshot(testing::ReferencePaint(LoadBaseMap(), war[record].OwnerCodes)))
            << "record " << record;
    }
    const auto png = Snapshot("--record 39 -o '" + dir.File("map.png") + "'");
    ASSERT_EQ(png.exitCode, 0) << png.err;
    EXPECT_TRUE(testing::SameColours(QImage(QString::fromStdString(dir.File("map.png"))),
                                     testing::ReferencePaint(LoadBaseMap(), war[39].OwnerCodes)));
}

TEST_F(SnapshotCommandTest, RecordsOutsideTheHistoryAndBadTargetsFail)
{
    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {"--record 40 -o '" + dir.File("a.bmp") + "'", "record 40 is not in the history"},
        {"--record -1 -o '" + dir.File("a.bmp") + "'", "record -1 is not in the history"},
        {"--record 0 -o '" + dir.File("missing/a.bmp") + "'", "missing/a.bmp"},
        {"--record x -o '" + dir.File("a.bmp") + "'", "usage"},
    };
    for (const auto& c : cases) {
        const auto run = Snapshot(c.args);
        EXPECT_NE(run.exitCode, 0) << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.File("a.bmp"))));
}

}  // namespace
}  // namespace senki
