#pragma once
// The short path between two positions: initial bearing and distance on a sphere with the amateur
// convention of 111.2 km for each degree of arc (the figure Hamlib's qrb() uses).
#include "bridges/cluster/core/position.h"

namespace cluster {

inline constexpr double kKmPerDegree = 111.2;
inline constexpr double kKmPerStatuteMile = 1.609344;

struct Path {
    int bearing = 0;          // whole degrees from true north, 0 to 359
    double kilometres = 0.0;  // great-circle distance
    double StatuteMiles() const { return kilometres / kKmPerStatuteMile; }
};

// The bearing is rounded to the nearest whole degree (360 becomes 0). Coinciding points give
// bearing 0 and distance 0. From a point to its antipode every direction is a short path: the
// bearing given is whichever the rounding of the two positions points to.
Path ShortPath(const Position& from, const Position& to);

}  // namespace cluster
