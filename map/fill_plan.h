#pragma once
// The areas that the border fill reaches from each seed, worked out once.
//
// A fill stops only at BorderColour pixels, and painting never adds or
// removes one (no owner colour equals it), so the pixels reached from a seed
// are the same for every record. Working them out once from the base map
// turns each fill into a handful of row spans.

#include "map/province_tables.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace senki {

struct RowSpan {
    std::int32_t y;
    std::int32_t x0;  // first pixel of the span
    std::int32_t x1;  // one past the last pixel
};

// The pixels that a four-neighbour fill from `seed` reaches without entering
// a BorderColour pixel (colours compared on 24 bits), as row spans. Empty for
// a seed outside the image or on a border pixel.
std::vector<RowSpan> FillArea(const QImage& map, SeedPoint seed);

}  // namespace senki
