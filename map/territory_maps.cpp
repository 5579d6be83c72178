#include "map/territory_maps.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace senki {

static_assert(sizeof(wchar_t) == sizeof(QRgb), "pixels are filled as wchar_t units");

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
    // One detach check for the whole record, not one per span.
    uchar* const pixels = workMap_.bits();
    const qsizetype stride = workMap_.bytesPerLine();
    for (const Fill& fill : fills_) {
        const std::uint8_t owner = ownerCodes[std::size_t(fill.province)];
        if (owner >= kOwnerPaletteSize)
            continue;
        const QRgb colour = 0xFF000000u | OwnerPalette[owner];
        for (const RowSpan& span : fill.spans) {
            // wmemset is the C library's tuned fill of 32-bit units (wchar_t is
            // 32 bits here); a plain loop is not vectorised at -O2.
            wchar_t* row = reinterpret_cast<wchar_t*>(pixels + span.y * stride);
            std::wmemset(row + span.x0, wchar_t(colour), std::size_t(span.x1 - span.x0));
        }
    }
}

void TerritoryMaps::CopyWorkMapToChartBack()
{
    chartBackMap_ = Detached(workMap_);
}

}  // namespace senki
