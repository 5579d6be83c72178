#pragma once
// The fixed tables of the territory map: where each painted province is
// seeded on the base map, and which colour each owner is painted in.

#include <array>
#include <cstdint>

namespace senki {

struct SeedPoint {
    std::int32_t x;
    std::int32_t y;
};

// Colours are 24-bit RGB values, 0xRRGGBB.
using Rgb = std::uint32_t;

inline constexpr Rgb kBorderColour = 0x010101;  // every outline of the base map, and nothing else

inline constexpr int kFirstPaintedProvince = 28;
inline constexpr int kLastPaintedProvince = 105;
inline constexpr int kPaintedProvinceCount = kLastPaintedProvince - kFirstPaintedProvince + 1;

// One seed per painted province, indexed by province - kFirstPaintedProvince.
extern const std::array<SeedPoint, kPaintedProvinceCount> ProvinceSeeds;

// The second piece of the provinces drawn in two parts.
struct ExtraSeed {
    int province;
    SeedPoint seed;
};
extern const std::array<ExtraSeed, 3> ExtraSeeds;

inline constexpr int kOwnerPaletteSize = 33;
extern const std::array<Rgb, kOwnerPaletteSize> OwnerPalette;

inline SeedPoint ProvinceSeed(int province) { return ProvinceSeeds[province - kFirstPaintedProvince]; }

}  // namespace senki
