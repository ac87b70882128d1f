#pragma once
// Where the compass pointer goes: its direction and its corners, in twips on the picture.
#include <cstdint>
#include <optional>

namespace compass {

struct Point {
    double x = 0, y = 0;  // twips from the picture's inner top-left corner
};

// The arrowhead: a tip, two base corners, and a point inside it where the fill starts.
struct NeedleShape {
    Point tip, corner1, corner2, seed;
};

// The direction of the pointer in whole degrees, counter-clockwise from east, for a compass
// heading (clockwise from north): round(450 - heading), halves to even, remainder of the
// truncating division by 360, so it may be negative. Empty when that does not fit 32 bits: a
// huge heading, an infinity or NaN.
std::optional<std::int32_t> NeedleDirection(float heading);

// The arrowhead for a direction on the circle of the given centre and radius, one pixel
// (TwipsPerPixelX) inside the circle's edge. Uses the globals set at start-up.
NeedleShape NeedleShapeAt(std::int32_t direction, float CompassX, float CompassY,
                          float CompassRadius);

}  // namespace compass
