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

// Nothing when the DX station's place is unknown: no locator in the comment and the call is
// maritime or aeronautical mobile, or in no country of the file. The word after the time is the
// spotter's locator, never the DX's, and is not used.
std::optional<SpotPath> PathToSpot(const Spot& spot, const CountryTable& table,
                                   const Position& station);

}  // namespace cluster
