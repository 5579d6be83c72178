#pragma once
// A plain, independent reading of the painting rule for tests: a
// pixel-by-pixel four-neighbour fill up to the border colour on a copy of the
// base map, for each painted province in order.

#include "history/history_record.h"
#include "map/province_tables.h"

#include <QImage>

#include <array>
#include <vector>

namespace senki::testing {

inline void ReferenceFill(QImage& image, int seedX, int seedY, QRgb colour)
{
    const int w = image.width(), h = image.height();
    if (seedX < 0 || seedY < 0 || seedX >= w || seedY >= h)
        return;
    auto border = [&](int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) == kBorderColour; };
    if (border(seedX, seedY))
        return;
    std::vector<char> seen(std::size_t(w) * h, 0);
    std::vector<std::pair<int, int>> stack{{seedX, seedY}};
    seen[std::size_t(seedY) * w + seedX] = 1;
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        image.setPixel(x, y, colour);
        const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h)
                continue;
            char& s = seen[std::size_t(n[1]) * w + n[0]];
            if (!s && !border(n[0], n[1])) {
                s = 1;
                stack.push_back({n[0], n[1]});
            }
        }
    }
}

inline QImage ReferencePaint(const QImage& baseMap, const std::array<std::uint8_t, kProvinceCount>& owners)
{
    QImage image = baseMap.convertToFormat(QImage::Format_RGB32);
    for (int p = kFirstPaintedProvince; p <= kLastPaintedProvince; ++p) {
        if (owners[p] >= kOwnerPaletteSize)
            continue;
        const QRgb colour = 0xFF000000u | OwnerPalette[owners[p]];
        ReferenceFill(image, ProvinceSeed(p).x, ProvinceSeed(p).y, colour);
        for (const ExtraSeed& extra : ExtraSeeds)
            if (extra.province == p)
                ReferenceFill(image, extra.seed.x, extra.seed.y, colour);
    }
    return image;
}

// Compares on 24 bits, as every colour comparison of the maps does.
inline bool SameColours(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

}  // namespace senki::testing
