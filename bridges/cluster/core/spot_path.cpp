#include "bridges/cluster/core/spot_path.h"

namespace cluster {

namespace {

// A locator fits a country within this distance of the country's position: the widest
// countries of the file reach about this far from it (Asiatic Russia's far east, Canada's
// Yukon), and a locator on another continent lies farther.
constexpr double kFitKm = 5000;

double Km(const Position& from, const Position& to) {
    return ShortPath(from, to).kilometres;
}

// Where the spotter is, as far as the spot tells.
std::optional<Position> SpotterPosition(const Spot& spot, const CountryTable& table) {
    if (const auto locator = LocatorCentre(spot.afterTime)) return locator;
    if (const auto where = LookUpCall(table, spot.spotter).where) return where->position;
    return std::nullopt;
}

std::optional<Position> DxLocator(const Spot& spot, const CallLookup& dx,
                                  const CountryTable& table) {
    const std::vector<std::string> locators = LocatorsInComment(spot.comment);
    if (locators.empty()) return std::nullopt;
    if (!dx.where) return LocatorCentre(locators.back());
    const Position& country = dx.where->position;
    const std::optional<Position> spotter =
        locators.size() > 1 ? SpotterPosition(spot, table) : std::nullopt;
    std::optional<Position> best;
    double bestScore = 0;
    for (const std::string& locator : locators) {
        const Position centre = *LocatorCentre(locator);
        const double fromCountry = Km(centre, country);
        if (fromCountry > kFitKm) continue;
        const double score = fromCountry - (spotter ? Km(centre, *spotter) : 0.0);
        if (!best || score <= bestScore) {  // on a tie the later, the far end's by custom
            best = centre;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace

std::optional<SpotPath> PathToSpot(const Spot& spot, const CallLookup& dx,
                                   const CountryTable& table, const Position& station) {
    SpotPath result;
    result.call = dx;
    std::optional<Position> place = DxLocator(spot, dx, table);
    if (place) {
        result.source = DxPositionSource::CommentLocator;
    } else if (dx.where) {
        place = dx.where->position;
        result.source = DxPositionSource::CountryFile;
    }
    if (!place) return std::nullopt;
    result.path = ShortPath(station, *place);
    return result;
}

}  // namespace cluster
