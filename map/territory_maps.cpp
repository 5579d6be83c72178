#include "map/territory_maps.h"

#include <algorithm>
#include <cstring>

namespace senki {

namespace {

// A deep copy: QImage shares pixels on copy, and the maps must never share.
QImage Detached(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32).copy();
}

}  // namespace

TerritoryMaps::TerritoryMaps(const QImage& baseMap)
    : baseMap_(Detached(baseMap)), workMap_(Detached(baseMap_)), chartBackMap_(Detached(baseMap_))
{
    for (int province = kFirstPaintedProvince; province <= kLastPaintedProvince; ++province) {
        fills_.push_back({province, FillArea(baseMap_, ProvinceSeed(province))});
        for (const ExtraSeed& extra : ExtraSeeds)
            if (extra.province == province)
                fills_.push_back({province, FillArea(baseMap_, extra.seed)});
    }
}

void TerritoryMaps::PaintMap(const OwnerCodeArray& ownerCodes)
{
    ClearWorkMap();
    PaintOwners(ownerCodes);
}

void TerritoryMaps::ClearWorkMap()
{
    // Same size and format, so a byte copy into the existing buffer serves.
    std::memcpy(workMap_.bits(), baseMap_.constBits(), std::size_t(baseMap_.sizeInBytes()));
}

void TerritoryMaps::PaintOwners(const OwnerCodeArray& ownerCodes)
{
    for (const Fill& fill : fills_) {
        const std::uint8_t owner = ownerCodes[std::size_t(fill.province)];
        if (owner >= kOwnerPaletteSize)
            continue;
        const QRgb colour = 0xFF000000u | OwnerPalette[owner];
        for (const RowSpan& span : fill.spans) {
            QRgb* row = reinterpret_cast<QRgb*>(workMap_.scanLine(span.y));
            std::fill(row + span.x0, row + span.x1, colour);
        }
    }
}

void TerritoryMaps::CopyWorkMapToChartBack()
{
    chartBackMap_ = Detached(workMap_);
}

}  // namespace senki
