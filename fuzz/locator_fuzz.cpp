// Arbitrary text as a locator, a spot comment and the station's position: a position inside the
// globe or a reason, never a crash; the path between any two is a bearing 0 to 359 and a
// distance of at most half the circumference.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "base/failure.h"
#include "bridges/cluster/core/great_circle.h"
#include "bridges/cluster/core/position.h"

namespace {

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "locator_fuzz: %s\n", what);
    std::abort();
}

bool OnTheGlobe(const cluster::Position& p) {
    return std::fabs(p.latitude) <= 90.0 && std::fabs(p.longitude) <= 180.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto centre = cluster::LocatorCentre(text);
    Check(centre.has_value() == cluster::LocatorProblem(text).empty(),
          "a locator both valid and invalid");
    if (centre) Check(OnTheGlobe(*centre), "a locator centre off the globe");

    for (const std::string& found : cluster::LocatorsInComment(text)) {
        Check(text.find(found) != std::string_view::npos, "a locator not in the comment");
        Check(cluster::LocatorCentre(found).has_value(), "an invalid locator found in a comment");
    }

    std::optional<cluster::Position> station;
    try {
        station = cluster::StationPosition(text);
        Check(OnTheGlobe(*station), "a station position off the globe");
    } catch (const base::Failure& failure) {
        Check(!failure.Description().empty(), "a failure without a reason");
    }

    const cluster::Position here = station.value_or(cluster::Position{52.5, 13.0});
    const cluster::Position there = centre.value_or(cluster::Position{-33.9, 151.2});
    const cluster::Path path = cluster::ShortPath(here, there);
    Check(path.bearing >= 0 && path.bearing <= 359, "a bearing outside 0 to 359");
    Check(path.kilometres >= 0.0 && path.kilometres <= 180 * cluster::kKmPerDegree + 1e-6,
          "a distance beyond half the circumference");
    return 0;
}
