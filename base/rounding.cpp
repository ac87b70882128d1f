#include "base/rounding.h"

#include <cmath>
#include <limits>

#include "base/failure.h"

namespace base {

double RoundHalfEven(double value) {
    const double magnitude = std::fabs(value);
    const double floor = std::floor(magnitude);
    const double fraction = magnitude - floor;  // exact for non-negative values
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
    return std::copysign(rounded, value);
}

double RoundHalfAway(double value) {
    return std::round(value);  // defined to round halves away from zero in every mode
}

int TwipsToPixels(double twips, double twipsPerPixel) {
    const double pixels = RoundHalfEven(twips / twipsPerPixel);
    if (!(pixels >= std::numeric_limits<int>::min() && pixels <= std::numeric_limits<int>::max()))
        throw Failure(kOverflow);
    return static_cast<int>(pixels);
}

}  // namespace base
