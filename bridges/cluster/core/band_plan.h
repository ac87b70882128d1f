#pragma once
// The amateur bands and the modes used in them: which band a spot's frequency is in, and whether
// the spot is CW, phone or digital, from its comment or else from where in the band it is.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/country_table.h"

namespace cluster {

struct Band {
    std::string_view name;  // "160m", "70cm"
    double lowKhz;
    double highKhz;
};

// Every band the bridge knows, lowest first (2200m to 1mm, the widest allocation of the three
// IARU regions).
std::span<const Band> Bands();
// The band of a frequency; nothing for a frequency outside every band.
const Band* BandOf(double khz);
// The band of a name as a user writes it: "20m", "20", "70CM", "70cm"; nothing when unknown.
const Band* BandNamed(std::string_view name);

enum class Mode { Cw, Phone, Digital };
std::string_view ModeName(Mode mode);  // "CW", "phone", "digital"

enum class IaruRegion { One, Two, Three };
// The IARU region of a country, from its continent and zones.
IaruRegion RegionOf(const CallCountry& where);

// The mode of a spot: the first word of its comment that names a mode ("CW", "SSB", "FT8",
// "RTTY", ...; a skimmer spot's comment starts with its mode), otherwise the part of the band
// its frequency is in, in the band plan of the DX's region (and the FT8 and FT4 frequencies).
// Nothing for a frequency outside every band with no mode in its comment.
std::optional<Mode> ModeOf(const Spot& spot, IaruRegion region);

}  // namespace cluster
