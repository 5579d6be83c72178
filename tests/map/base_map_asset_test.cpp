// Checks the committed base map against every property that painting relies
// on: a four-neighbour border fill from each seed must cover exactly one
// closed area of its own.

#include <QImage>
#include <QSize>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "map/province_tables.h"

namespace {

using senki::kBorderColour;
using senki::SeedPoint;

constexpr int kWidth = 560;
constexpr int kHeight = 375;

struct Piece {
    std::string name;
    SeedPoint seed;
};

std::vector<Piece> AllPieces() {
    std::vector<Piece> pieces;
    for (int k = senki::kFirstPaintedProvince; k <= senki::kLastPaintedProvince; ++k) {
        pieces.push_back({std::to_string(k), senki::ProvinceSeed(k)});
    }
    for (const auto& extra : senki::ExtraSeeds) {
        pieces.push_back({std::to_string(extra.province) + " (second piece)", extra.seed});
    }
    return pieces;
}

// The asset split into the areas a four-neighbour fill sees: every pixel that
// is not BorderColour gets the number of its area.
struct AreaMap {
    QImage image;
    bool has_alpha = false;
    std::vector<int> area;  // -1 on border pixels
    std::vector<int> size;  // pixels per area

    bool IsBorder(int x, int y) const { return (image.pixel(x, y) & 0xFFFFFFu) == kBorderColour; }
    int AreaAt(SeedPoint p) const { return area[p.y * image.width() + p.x]; }

    static AreaMap Load() {
        AreaMap m;
        m.image = QImage(QString::fromUtf8(SENKI_BASE_MAP_FILE));
        if (m.image.isNull()) return m;
        m.has_alpha = m.image.hasAlphaChannel();
        m.image = m.image.convertToFormat(QImage::Format_RGB32);
        const int w = m.image.width();
        const int h = m.image.height();
        m.area.assign(static_cast<size_t>(w) * h, -1);
        std::vector<int> stack;
        for (int start = 0; start < w * h; ++start) {
            if (m.area[start] >= 0 || m.IsBorder(start % w, start / w)) continue;
            const int id = static_cast<int>(m.size.size());
            int count = 0;
            m.area[start] = id;
            stack.push_back(start);
            while (!stack.empty()) {
                const int i = stack.back();
                stack.pop_back();
                ++count;
                const int x = i % w;
                const int y = i / w;
                const int nx[4] = {x - 1, x + 1, x, x};
                const int ny[4] = {y, y, y - 1, y + 1};
                for (int k = 0; k < 4; ++k) {
                    if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) continue;
                    const int j = ny[k] * w + nx[k];
                    if (m.area[j] < 0 && !m.IsBorder(nx[k], ny[k])) {
                        m.area[j] = id;
                        stack.push_back(j);
                    }
                }
            }
            m.size.push_back(count);
        }
        return m;
    }
};

class BaseMapAssetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { map_ = new AreaMap(AreaMap::Load()); }
    static void TearDownTestSuite() {
        delete map_;
        map_ = nullptr;
    }
    void SetUp() override {
        ASSERT_FALSE(map_->image.isNull()) << "cannot load " << SENKI_BASE_MAP_FILE;
        ASSERT_EQ(map_->image.size(), QSize(kWidth, kHeight));
    }

    static AreaMap* map_;
};

AreaMap* BaseMapAssetTest::map_ = nullptr;

TEST_F(BaseMapAssetTest, IsAnOpaqueMapWithAClosedBottomRowAndNoPureBlack) {
    const QImage& image = map_->image;
    EXPECT_FALSE(map_->has_alpha) << "the asset carries an alpha channel";

    for (int x = 0; x < kWidth; ++x) {
        ASSERT_TRUE(map_->IsBorder(x, kHeight - 1)) << "bottom row is open at x=" << x;
    }
    int black = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) black += (image.pixel(x, y) & 0xFFFFFFu) == 0 ? 1 : 0;
    }
    EXPECT_EQ(black, 0) << "pure black pixels would look like outlines but not stop a fill";
}

TEST_F(BaseMapAssetTest, EverySeedFillsAnAreaOfItsOwnOfPaintableSize) {
    std::set<int> seeded;
    for (const Piece& piece : AllPieces()) {
        SCOPED_TRACE("province " + piece.name);
        const SeedPoint p = piece.seed;
        ASSERT_FALSE(map_->IsBorder(p.x, p.y)) << "seed lies on an outline";
        const int a = map_->AreaAt(p);
        EXPECT_TRUE(seeded.insert(a).second) << "area also holds another seed";
        EXPECT_GE(map_->size[a], 75);
        EXPECT_LE(map_->size[a], 7000);
    }
    // The two pieces of 61, 76 and 99 are counted above as separate pieces, so
    // sharing an area would have shown; what is left unseeded is sea.
    EXPECT_EQ(seeded.size(), AllPieces().size());
    EXPECT_GT(map_->size.size(), seeded.size()) << "no sea areas";
}

TEST_F(BaseMapAssetTest, Province98IsAFramedSquare) {
    const int a = map_->AreaAt(senki::ProvinceSeed(98));
    ASSERT_GE(a, 0);
    int x0 = kWidth, y0 = kHeight, x1 = -1, y1 = -1;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (map_->area[y * kWidth + x] != a) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    EXPECT_EQ(x1 - x0, y1 - y0);
    EXPECT_EQ(map_->size[a], (x1 - x0 + 1) * (y1 - y0 + 1)) << "the area is not a filled square";
    EXPECT_TRUE(x0 > 0 && y0 > 0 && x1 < kWidth - 1 && y1 < kHeight - 1) << "the square must be framed on all sides";
}

}  // namespace
