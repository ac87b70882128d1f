#pragma once
// Headings as Vantro32 sends them ("GA:" and a number of degrees) and azimuths as the bridge
// reports them ("RA:" and whole degrees, 0 to 359).
#include <optional>
#include <string>
#include <string_view>

namespace rotbridge {

// The azimuths the rotator can be set to, in degrees, as rotctld gives them (overlap rotators go
// past 360, south-stop ones below 0).
struct AzimuthRange {
    double min = 0.0;
    double max = 360.0;
};

// A heading in plain decimal: optional sign, digits, at most one ".", blanks around it allowed.
// Anything else (letters, exponents, "nan", several numbers) is not a heading.
std::optional<double> HeadingValue(std::string_view text);

// Where to send the rotator for a heading: the heading itself when the rotator can reach it,
// otherwise the same compass direction one turn lower (south-stop rotators run -180..180);
// nothing when neither fits.
std::optional<double> AzimuthForHeading(double heading, const AzimuthRange& range);

// The compass direction of an azimuth in whole degrees, 0 to 359 (370 is 10, -90 is 270).
int WholeDegrees(double azimuth);

// The report Vantro32 reads: "RA:" followed by the whole degrees, nothing after them.
std::string ReportText(double azimuth);

// A short form of a number of degrees for messages and commands: "123", "-90", "45.5".
std::string DegreesText(double degrees);

}  // namespace rotbridge
