#include "map/base_map.h"
#include "map/fill_plan.h"
#include "map/territory_maps.h"
#include "support/reference_fill.h"
#include "tools/savegen/synthetic_save.h"

#include <gtest/gtest.h>

#include <random>

namespace senki {
namespace {

QRgb Colour(int owner) { return 0xFF000000u | OwnerPalette[owner]; }
QRgb At(const QImage& image, SeedPoint p) { return image.pixel(p.x, p.y) | 0xFF000000u; }

class TerritoryMapsTest : public ::testing::Test {
protected:
    TerritoryMaps maps{LoadBaseMap()};
};

TEST_F(TerritoryMapsTest, StartsAsThreeIndependentCopiesOfTheBaseMap)
{
    EXPECT_EQ(maps.BaseMap().size(), QSize(kMapWidth, kMapHeight));
    EXPECT_EQ(maps.WorkMap(), maps.BaseMap());
    EXPECT_EQ(maps.ChartBackMap(), maps.BaseMap());
    OwnerCodeArray owners{};
    owners.fill(18);
    maps.PaintMap(owners);
    EXPECT_NE(maps.WorkMap(), maps.BaseMap());
    EXPECT_EQ(maps.ChartBackMap(), LoadBaseMap().convertToFormat(QImage::Format_RGB32));
    maps.CopyWorkMapToChartBack();
    EXPECT_EQ(maps.ChartBackMap(), maps.WorkMap());
}

TEST_F(TerritoryMapsTest, RandomRecordsEqualAnIndependentFill)
{
    std::mt19937 random(7);
    for (int round = 0; round < 6; ++round) {
        OwnerCodeArray owners;
        for (auto& owner : owners)
            owner = std::uint8_t(round == 5 ? random() % 256 : random() % kOwnerPaletteSize);
        maps.PaintMap(owners);
        EXPECT_TRUE(testing::SameColours(maps.WorkMap(), testing::ReferencePaint(maps.BaseMap(), owners)))
            << "round " << round;
    }
}

TEST_F(TerritoryMapsTest, EveryPieceOfAProvinceTakesItsOwnersColour)
{
    OwnerCodeArray owners{};
    owners[61] = 18;
    owners[76] = 4;
    owners[99] = 8;
    maps.PaintMap(owners);
    for (const ExtraSeed& extra : ExtraSeeds) {
        EXPECT_EQ(At(maps.WorkMap(), extra.seed), Colour(owners[extra.province])) << extra.province;
        EXPECT_EQ(At(maps.WorkMap(), ProvinceSeed(extra.province)), Colour(owners[extra.province]));
    }
    EXPECT_EQ(At(maps.WorkMap(), ProvinceSeed(62)), Colour(0)) << "owner 0 paints white";
}

TEST_F(TerritoryMapsTest, UnpaintedProvincesAndUnknownOwnersChangeNoPixel)
{
    OwnerCodeArray owners{};
    maps.PaintMap(owners);
    const QImage before = maps.WorkMap();
    for (int p = 0; p < kFirstPaintedProvince; ++p)
        owners[p] = std::uint8_t(p + 3);
    for (int p = kLastPaintedProvince + 1; p < kProvinceCount; ++p)
        owners[p] = 200;
    maps.PaintMap(owners);
    EXPECT_EQ(maps.WorkMap(), before);

    owners[40] = 33;  // past the palette: the province keeps the base map's pixels
    maps.PaintMap(owners);
    const auto area = FillArea(maps.BaseMap(), ProvinceSeed(40));
    ASSERT_FALSE(area.empty());
    for (const RowSpan& span : area) {
        for (int x = span.x0; x < span.x1; ++x)
            ASSERT_EQ(maps.WorkMap().pixel(x, span.y), maps.BaseMap().pixel(x, span.y));
    }
}

TEST_F(TerritoryMapsTest, ARecordLooksTheSameWhateverWasShownBefore)
{
    const auto war = savegen::SyntheticWar(60, 3);
    maps.PaintMap(war[59].OwnerCodes);
    const QImage alone = maps.WorkMap().copy();
    maps.PaintMap(war[10].OwnerCodes);
    maps.PaintMap(war[59].OwnerCodes);
    EXPECT_EQ(maps.WorkMap(), alone);
}

TEST_F(TerritoryMapsTest, BorderPixelsNeverChange)
{
    OwnerCodeArray owners;
    owners.fill(19);
    maps.PaintMap(owners);
    for (int y = 0; y < kMapHeight; ++y) {
        for (int x = 0; x < kMapWidth; ++x) {
            if ((maps.BaseMap().pixel(x, y) & 0xFFFFFF) == kBorderColour) {
                ASSERT_EQ(maps.WorkMap().pixel(x, y) & 0xFFFFFF, kBorderColour) << x << "," << y;
            }
        }
    }
}

TEST(FillAreaTest, FollowsTheFourNeighbourBorderRule)
{
    // A 6 × 5 picture: two areas that touch only at a corner, a pixel of pure
    // black (an ordinary colour), and the border colour with a stray fourth byte.
    const char* rows[] = {
        "..#...",
        "..#...",
        "###...",
        "...#..",
        "K..#..",
    };
    QImage image(6, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, rows[y][x] == '#' ? 0x7F010101u : rows[y][x] == 'K' ? 0xFF000000u : 0xFFF2FFE8u);
    // The top-left area: 4 pixels, never leaking diagonally past (2,2).
    const auto topLeft = FillArea(image, {0, 0});
    int pixels = 0;
    for (const RowSpan& span : topLeft)
        pixels += span.x1 - span.x0;
    EXPECT_EQ(pixels, 4);
    // Pure black does not stop a fill: (0,4) belongs to the bottom-left area.
    const auto bottomLeft = FillArea(image, {1, 3});
    pixels = 0;
    for (const RowSpan& span : bottomLeft)
        pixels += span.x1 - span.x0;
    EXPECT_EQ(pixels, 6);
    EXPECT_TRUE(FillArea(image, {2, 0}).empty()) << "a seed on the border fills nothing";
    EXPECT_TRUE(FillArea(image, {-1, 0}).empty()) << "a seed outside fills nothing";
    EXPECT_TRUE(FillArea(image, {6, 0}).empty());
}

}  // namespace
}  // namespace senki
