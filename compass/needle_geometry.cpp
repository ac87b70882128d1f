// The pointer's direction and corners.
#include "compass/needle_geometry.h"

#include <cmath>

#include "app/globals.h"
#include "base/failure.h"
#include "base/numeric.h"

namespace compass {

namespace {

// Distances from the circle's inner edge R, in twips.
constexpr float kTipInset = 50, kSeedInset = 150, kBaseInset = 300;
constexpr std::int32_t kBaseSpread = 40;  // degrees either side of the direction

Point PointAt(float CompassX, float CompassY, float distance, std::int32_t degrees) {
    const double angle = degrees * DegToRad;
    return {CompassX + distance * std::cos(angle), CompassY - distance * std::sin(angle)};
}

}  // namespace

std::optional<std::int32_t> NeedleDirection(float heading) {
    // Double arithmetic holds 450 - heading exactly for every single-precision heading.
    try {
        return base::ToInt32(450.0 - heading) % 360;
    } catch (const base::Failure&) {
        return std::nullopt;
    }
}

NeedleShape NeedleShapeAt(std::int32_t direction, float CompassX, float CompassY,
                          float CompassRadius) {
    const float R = CompassRadius - TwipsPerPixelX;
    return {PointAt(CompassX, CompassY, R - kTipInset, direction),
            PointAt(CompassX, CompassY, R - kBaseInset, direction - kBaseSpread),
            PointAt(CompassX, CompassY, R - kBaseInset, direction + kBaseSpread),
            PointAt(CompassX, CompassY, R - kSeedInset, direction)};
}

}  // namespace compass
