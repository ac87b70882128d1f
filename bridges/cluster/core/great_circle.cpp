#include "bridges/cluster/core/great_circle.h"

#include <cmath>
#include <numbers>

#include "base/rounding.h"

namespace cluster {

namespace {
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
}

Path ShortPath(const Position& from, const Position& to) {
    const double lat1 = from.latitude * kRadiansPerDegree;
    const double lat2 = to.latitude * kRadiansPerDegree;
    const double deltaLon = (to.longitude - from.longitude) * kRadiansPerDegree;

    const double y = std::sin(deltaLon) * std::cos(lat2);
    const double x =
        std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(deltaLon);
    const double z =
        std::sin(lat1) * std::sin(lat2) + std::cos(lat1) * std::cos(lat2) * std::cos(deltaLon);
    // The arc as an arc tangent (Vincenty's form) keeps its precision for short paths, where the
    // arc cosine of z loses it, and near the antipode.
    const double arcDegrees = std::atan2(std::hypot(y, x), z) / kRadiansPerDegree;

    // Coinciding or antipodal points have no direction: atan2(0, 0) gives north.
    double degrees = std::atan2(y, x) / kRadiansPerDegree;
    if (!std::isfinite(degrees)) degrees = 0.0;
    if (degrees < 0) degrees += 360.0;
    const int bearing = static_cast<int>(base::RoundHalfAway(degrees)) % 360;
    return Path{bearing, arcDegrees * kKmPerDegree};
}

}  // namespace cluster
