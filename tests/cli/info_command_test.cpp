#include "support/run_program.h"
#include "support/temp_dir.h"
#include "tools/savegen/synthetic_save.h"

#include <gtest/gtest.h>

namespace senki {
namespace {

testing::ProgramRun Info(const testing::TempDir& dir, const std::string& args)
{
    return testing::RunProgram(std::string(SENKI_EXPORT_PROGRAM) + " info " + args, dir.File("stderr.txt"));
}

TEST(InfoCommandTest, JsonDescribesTheHistory)
{
    testing::TempDir dir;
    savegen::SaveOptions options;
    options.records = 144;
    options.block544Count = 7;
    options.block720Count = 12;
    options.trailingBytes = 5;
    std::string error;
    ASSERT_TRUE(savegen::WriteSaveFile(dir.File("war.sav"), options, error));

    const auto run = Info(dir, "'" + dir.File("war.sav") + "' --json");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"records\": 144, \"history_offset\": 759272, \"last_index\": 143, \"file_length\": 776989, "
              "\"trailing_bytes\": 5, \"first\": \"1939/09/下旬\", \"last\": \"1945/09/上旬\"}\n");
}

TEST(InfoCommandTest, FailuresGoToStandardErrorWithANonZeroExit)
{
    testing::TempDir dir;
    savegen::SaveOptions options;
    options.records = 0;
    options.trailingBytes = 100;  // less than one record behind the fixed part
    std::string error;
    ASSERT_TRUE(savegen::WriteSaveFile(dir.File("short.sav"), options, error));

    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {"'" + dir.File("short.sav") + "'", "このデータは対応していません"},
        {"'" + dir.File("missing.sav") + "'", "No such file or directory"},
        {"'" + dir.Path().string() + "' --json", "Is a directory"},
    };
    for (const auto& c : cases) {
        const auto run = Info(dir, c.args);
        EXPECT_NE(run.exitCode, 0) << c.args;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace senki
