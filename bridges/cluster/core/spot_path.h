#pragma once
// From the station to a spotted station: where the DX is, and the beam heading and distance.
#include <optional>

#include "bridges/cluster/core/call_country.h"
#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/great_circle.h"

namespace cluster {

enum class DxPositionSource {
    CommentLocator,  // a locator in the spot's comment (its centre)
    CountryFile,     // the country file's position for the DX call (the alias's, or the country's)
};

struct SpotPath {
    Path path;
    DxPositionSource source = DxPositionSource::CountryFile;
    CallLookup call;  // the DX call's country (NotFound is possible when a locator gave the place)
};

// Where the DX is: a locator in the spot's comment that fits the DX call's country (`dx`, its
// look-up), else the country's position. A comment often holds two locators, the DX's and the
// spotter's, in either order ("KM18<ES>IO91", "IO91 KM18"): a locator fits when it lies within
// reach of the country's position, and of those that fit the one nearest the country and
// farthest from the spotter is the DX's (the spotter being at the locator after the spot's time,
// else in the spotter call's country). For a call of no known country a locator is taken as it
// is, the last one. Nothing when the DX's place is unknown: no locator and the call maritime or
// aeronautical mobile, or in no country of the file.
std::optional<SpotPath> PathToSpot(const Spot& spot, const CallLookup& dx,
                                   const CountryTable& table, const Position& station);

}  // namespace cluster
