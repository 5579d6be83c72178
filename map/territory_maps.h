#pragma once
// The three map bitmaps and the painting of one record's owners.

#include "history/history_record.h"
#include "map/fill_plan.h"

#include <QImage>

#include <array>
#include <vector>

namespace senki {

using OwnerCodeArray = std::array<std::uint8_t, kProvinceCount>;

class TerritoryMaps {
public:
    // Makes BaseMap, WorkMap and ChartBackMap as copies of `baseMap`, and
    // works out the area of every seed once.
    explicit TerritoryMaps(const QImage& baseMap);

    const QImage& BaseMap() const { return baseMap_; }
    const QImage& WorkMap() const { return workMap_; }
    const QImage& ChartBackMap() const { return chartBackMap_; }

    // The whole painting of one record: ClearWorkMap, then PaintOwners.
    void PaintMap(const OwnerCodeArray& ownerCodes);
    // WorkMap becomes a copy of BaseMap, every pixel.
    void ClearWorkMap();
    // Fills provinces 28..105 in increasing order, each second piece right
    // after its province, with the owner's colour. An owner code past the
    // palette (33..255) leaves its province as the base map draws it.
    void PaintOwners(const OwnerCodeArray& ownerCodes);
    // ChartBackMap becomes a copy of WorkMap.
    void CopyWorkMapToChartBack();

private:
    struct Fill {
        int province;
        std::vector<RowSpan> spans;
    };
    QImage baseMap_;
    QImage workMap_;
    QImage chartBackMap_;
    std::vector<Fill> fills_;  // the 81 fills of a record, in painting order
};

}  // namespace senki
