#include "bridges/cluster/core/spot_path.h"

namespace cluster {

std::optional<SpotPath> PathToSpot(const Spot& spot, const CountryTable& table,
                                   const Position& station) {
    SpotPath result;
    result.call = LookUpCall(table, spot.dxCall);
    std::optional<Position> dx;
    if (const auto locator = LocatorInComment(spot.comment)) {
        dx = LocatorCentre(*locator);
        result.source = DxPositionSource::CommentLocator;
    } else if (result.call.where) {
        dx = result.call.where->position;
        result.source = DxPositionSource::CountryFile;
    }
    if (!dx) return std::nullopt;
    result.path = ShortPath(station, *dx);
    return result;
}

}  // namespace cluster
