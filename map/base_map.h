#pragma once
// The painted base map of Europe, built into the programs as a resource.

#include <QImage>

namespace senki {

inline constexpr int kMapWidth = 560;
inline constexpr int kMapHeight = 375;

// The base map as a 560 × 375 RGB32 image (the fourth byte of a pixel
// carries no meaning). Throws std::runtime_error if the resource is missing.
QImage LoadBaseMap();

}  // namespace senki
