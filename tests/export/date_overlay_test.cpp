#include "export/date_overlay.h"
#include "history/calendar.h"
#include "map/base_map.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace senki {
namespace {

QRect WhitePixels(const QImage& before, const QImage& after)
{
    QRect bounds;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (after.pixel(x, y) != before.pixel(x, y)) {
                EXPECT_EQ(after.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
                bounds |= QRect(x, y, 1, 1);
            }
    return bounds;
}

TEST(DateOverlayTest, WhiteLettersInTheCellAtTheBottomLeft)
{
    QImage picture(560, 375, QImage::Format_RGB32);
    picture.fill(0xFF336699);
    const QImage before = picture.copy();
    DrawDateOverlay(picture, QString::fromStdString(RecordDateText(0)));
    const QRect drawn = WhitePixels(before, picture);
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_GE(drawn.top(), 363);
    EXPECT_LE(drawn.bottom(), 372);
    EXPECT_LE(drawn.left(), 2);
    EXPECT_LT(drawn.right(), 90) << "ten-pixel letters, not a large face";
    EXPECT_GT(drawn.right(), 40) << "the whole date, the half-month label included";
}

TEST(DateOverlayTest, UsesAJapaneseFaceWithATenPixelCell)
{
    const QFontInfo info(DateOverlayFont());
    EXPECT_TRUE(info.family() == "ＭＳ Ｐゴシック" || info.family() == "IPAPGothic") << info.family().toStdString();
    EXPECT_LE(QFontMetrics(DateOverlayFont()).height(), kDateCellHeight);
    // Both half-month labels have glyphs in the face.
    EXPECT_TRUE(QFontMetrics(DateOverlayFont()).inFont(QChar(u'旬')));
}

TEST(DateOverlayTest, TheMapShowsBetweenTheLetters)
{
    QImage picture = LoadBaseMap();
    const QImage before = picture.copy();
    DrawDateOverlay(picture, QString::fromStdString(RecordDateText(1)));
    int changed = 0, unchanged = 0;
    for (int y = 363; y <= 372; ++y)
        for (int x = 0; x < 40; ++x)
            (picture.pixel(x, y) == before.pixel(x, y) ? unchanged : changed)++;
    EXPECT_GT(changed, 20);
    EXPECT_GT(unchanged, changed) << "no box is drawn behind the text";
}

}  // namespace
}  // namespace senki
