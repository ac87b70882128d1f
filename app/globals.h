#pragma once
// Program-wide values, set once by start-up and only read afterwards.
#include <cstdint>

inline std::int16_t TwipsPerPixelX = 0;  // screen twips per pixel, rounded (15 at 96 dpi)
inline std::int16_t TwipsPerPixelY = 0;
inline double Pi = 0;        // 4 * arctan(1)
inline double DegToRad = 0;  // Pi / 180
