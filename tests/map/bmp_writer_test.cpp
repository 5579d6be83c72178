#include "export/map_snapshot.h"
#include "map/base_map.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace senki {
namespace {

std::uint32_t Read32(const QByteArray& bytes, int offset)
{
    return std::uint32_t(std::uint8_t(bytes[offset])) | std::uint32_t(std::uint8_t(bytes[offset + 1])) << 8 |
           std::uint32_t(std::uint8_t(bytes[offset + 2])) << 16 | std::uint32_t(std::uint8_t(bytes[offset + 3])) << 24;
}

TEST(MapSnapshotTest, HeaderAndBottomUpPixels)
{
    QImage map = LoadBaseMap();
    map.setPixel(0, 0, 0xFF123456);     // top-left
    map.setPixel(559, 374, 0xFFABCDEF);  // bottom-right
    const QByteArray bmp = EncodeMapSnapshot(map);
    ASSERT_EQ(bmp.size(), 840054);
    EXPECT_EQ(bmp.left(2), "BM");
    const struct {
        int offset;
        std::uint32_t value;
    } fields[] = {{2, 840054}, {6, 0}, {10, 54}, {14, 40}, {18, 560}, {22, 375}, {30, 0}, {34, 840000}, {46, 0}, {50, 0}};
    for (const auto& field : fields)
        EXPECT_EQ(Read32(bmp, field.offset), field.value) << "offset " << field.offset;
    EXPECT_EQ(Read32(bmp, 26), 1u | 32u << 16) << "one plane, 32 bits";
    // The first row in the file is the bottom row of the map.
    EXPECT_EQ(Read32(bmp, 54 + 559 * 4), 0x00ABCDEFu);
    EXPECT_EQ(Read32(bmp, 54 + 374 * 2240), 0x00123456u);
}

TEST(MapSnapshotTest, ReplacesAnExistingFileAndReportsFailures)
{
    testing::TempDir dir;
    const QString path = QString::fromStdString(dir.File("map.txt"));
    testing::WriteBytes(dir.File("map.txt"), std::vector<std::uint8_t>(2'000'000, 1));
    QString error;
    ASSERT_TRUE(WriteMapSnapshot(LoadBaseMap(), path, error)) << error.toStdString();
    EXPECT_EQ(QFile(path).size(), 840054);

    const QString unwritable = QString::fromStdString(dir.File("no/such/dir/map.bmp"));
    EXPECT_FALSE(WriteMapSnapshot(LoadBaseMap(), unwritable, error));
    EXPECT_TRUE(error.contains(unwritable)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(unwritable));
}

}  // namespace
}  // namespace senki
