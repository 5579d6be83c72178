#include "avi/movie_probe.h"
#include "export/date_overlay.h"
#include "history/calendar.h"
#include "map/base_map.h"
#include "support/reference_fill.h"
#include "support/temp_dir.h"
#include "tools/savegen/synthetic_save.h"

#include <QDir>

#include <gtest/gtest.h>

namespace senki {
namespace {

class MovieCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        options.records = 2;
        std::string error;
        ASSERT_TRUE(savegen::WriteSaveFile(dir.File("war.sav"), options, error));
    }
    testing::ProgramRun Movie(const std::string& args)
    {
        return testing::RunProgram(std::string(SENKI_EXPORT_PROGRAM) + " movie " + args, dir.File("stderr.txt"));
    }
    // The map of `record` with its date, as a 16-bit frame decoded to rgb24.
    std::string ExpectedFrame(int record)
    {
        QImage picture = testing::ReferencePaint(LoadBaseMap(), savegen::SyntheticWar(options.records, options.seed)[record].OwnerCodes);
        DrawDateOverlay(picture, QString::fromStdString(RecordDateText(record)));
        return testing::ExpectedRgb24From16Bits(picture);
    }
    QStringList FilesInDir() const
    {
        return QDir(QString::fromStdString(dir.Path().string())).entryList({"*.avi"}, QDir::Files);
    }
    testing::TempDir dir;
    savegen::SaveOptions options;
};

TEST_F(MovieCommandTest, FifteenFramesOfEachRecordsMapWithItsDate)
{
    const struct {
        const char* codec;
        const char* codecName;
        bool lossless;
    } cases[] = {{"none", "rawvideo", true}, {"mjpeg", "mjpeg", false}, {"ffv1", "ffv1", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codec);
        const std::string out = dir.File(std::string("war-") + c.codec + ".avi");
        const auto run = Movie("'" + dir.File("war.sav") + "' -o '" + out + "' --codec " + c.codec);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        auto video = testing::ProbeVideo(out);
        EXPECT_EQ(video["codec_name"], c.codecName);
        EXPECT_EQ(video["nb_read_frames"], "30");
        EXPECT_EQ(video["r_frame_rate"], "30/1");
        EXPECT_EQ(video["width"] + "x" + video["height"], "560x375");
        if (c.lossless) {
            EXPECT_TRUE(testing::DecodeFrame(out, 0, "rgb24") == ExpectedFrame(0)) << "record 0";
            EXPECT_TRUE(testing::DecodeFrame(out, 29, "rgb24") == ExpectedFrame(1)) << "record 1";
        }
    }
    EXPECT_EQ(FilesInDir().size(), 3) << "no temporary file is left: " << FilesInDir().join(", ").toStdString();
}

TEST_F(MovieCommandTest, FailuresLeaveNoMovieBehind)
{
    options.records = 0;
    options.trailingBytes = 50;
    std::string error;
    ASSERT_TRUE(savegen::WriteSaveFile(dir.File("short.sav"), options, error));
    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {"'" + dir.File("war.sav") + "' -o '" + dir.File("a.avi") + "' --codec nosuch", "not available"},
        {"'" + dir.File("short.sav") + "' -o '" + dir.File("a.avi") + "'", "このデータは対応していません"},
        {"'" + dir.File("missing.sav") + "' -o '" + dir.File("a.avi") + "'", "No such file or directory"},
        {"'" + dir.File("war.sav") + "' -o /proc/senki-cannot-write/a.avi --codec none", "ＡＶＩファイル"},
        {"'" + dir.File("war.sav") + "' --codec mjpeg", "usage"},
    };
    for (const auto& c : cases) {
        const auto run = Movie(c.args);
        EXPECT_NE(run.exitCode, 0) << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << "\n" << run.err;
    }
    EXPECT_TRUE(FilesInDir().isEmpty()) << FilesInDir().join(", ").toStdString();
}

TEST_F(MovieCommandTest, ListsTheCodecsThatCanBeChosen)
{
    const auto run = Movie("--list-codecs");
    EXPECT_EQ(run.exitCode, 0);
    for (const char* name : {"none", "mjpeg", "libx264", "ffv1"})
        EXPECT_NE(run.out.find(name), std::string::npos) << name;
}

}  // namespace
}  // namespace senki
