#include "map/fill_plan.h"

#include <algorithm>

namespace senki {

std::vector<RowSpan> FillArea(const QImage& map, SeedPoint seed)
{
    const int width = map.width(), height = map.height();
    if (seed.x < 0 || seed.y < 0 || seed.x >= width || seed.y >= height)
        return {};
    const QImage rgb = map.format() == QImage::Format_RGB32 || map.format() == QImage::Format_ARGB32
                           ? map
                           : map.convertToFormat(QImage::Format_RGB32);
    auto isBorder = [&](int x, int y) {
        return (reinterpret_cast<const QRgb*>(rgb.constScanLine(y))[x] & 0xFFFFFF) == kBorderColour;
    };
    if (isBorder(seed.x, seed.y))
        return {};

    // Scanline fill: each span found is extended left and right to the
    // border, and the rows above and below are searched for new spans.
    std::vector<std::uint8_t> reached(std::size_t(width) * height, 0);
    std::vector<RowSpan> spans;
    std::vector<SeedPoint> pending{seed};
    while (!pending.empty()) {
        const SeedPoint p = pending.back();
        pending.pop_back();
        if (reached[std::size_t(p.y) * width + p.x] || isBorder(p.x, p.y))
            continue;
        int x0 = p.x, x1 = p.x + 1;
        while (x0 > 0 && !isBorder(x0 - 1, p.y))
            --x0;
        while (x1 < width && !isBorder(x1, p.y))
            ++x1;
        std::fill(reached.begin() + std::ptrdiff_t(std::size_t(p.y) * width + x0),
                  reached.begin() + std::ptrdiff_t(std::size_t(p.y) * width + x1), 1);
        spans.push_back({p.y, x0, x1});
        for (const int y : {p.y - 1, p.y + 1}) {
            if (y < 0 || y >= height)
                continue;
            for (int x = x0; x < x1; ++x) {
                if (!reached[std::size_t(y) * width + x] && !isBorder(x, y)) {
                    pending.push_back({x, y});
                    while (x + 1 < x1 && !isBorder(x + 1, y))
                        ++x;
                }
            }
        }
    }
    std::sort(spans.begin(), spans.end(), [](const RowSpan& a, const RowSpan& b) {
        return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
    });
    return spans;
}

}  // namespace senki
