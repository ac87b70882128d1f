#pragma once
// Positions on the Earth: Maidenhead locators and the station's own position.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cluster {

// Degrees, north and east positive.
struct Position {
    double latitude = 0.0;
    double longitude = 0.0;
    friend bool operator==(const Position&, const Position&) = default;
};

// The centre of a Maidenhead locator square of 4, 6 or 8 characters, either case ("JO62",
// "jo62qm", "JO62QM45"); nothing for anything else.
std::optional<Position> LocatorCentre(std::string_view locator);

// Why a text is not a locator ("JO6": "a locator has 4, 6 or 8 characters"); empty when it is one.
std::string LocatorProblem(std::string_view locator);

// The locators in a spot's comment, in their order: the words of 4, 6 or 8 characters that are
// locators, words being cut at anything but letters and digits ("KM18<ES>IO91", "IO91-KM18").
// "RR73", which digital modes send as a sign-off, is not taken as one.
std::vector<std::string> LocatorsInComment(std::string_view comment);

// The station's own position as the user writes it: a locator ("JO62QM") or latitude and
// longitude in decimal degrees, north and east positive, separated by blanks and/or one comma
// ("52.52 13.40", "-33.9, 151.2"). Throws base::Failure naming the text and what is wrong.
Position StationPosition(std::string_view text);

}  // namespace cluster
