#include "bridges/cluster/core/position.h"

#include "base/failure.h"
#include "base/text.h"
#include "bridges/cluster/core/plain_text.h"

namespace cluster {

namespace {

// Each pair of a locator divides the square of the pair before it: fields of 20 x 10 degrees
// (letters A to R), squares (digits), subsquares (letters A to X), extended squares (digits).
struct PairRule {
    char first;
    int divisions;
    const char* what;
};
constexpr PairRule kPairs[] = {
    {'A', 18, "a letter from A to R"},
    {'0', 10, "a digit"},
    {'A', 24, "a letter from A to X"},
    {'0', 10, "a digit"},
};

// The reason the text is not a locator, or an empty text and its centre in *centre.
std::string Examine(std::string_view locator, Position* centre) {
    if (locator.size() != 4 && locator.size() != 6 && locator.size() != 8)
        return "a locator has 4, 6 or 8 characters";
    double longitude = -180.0;
    double latitude = -90.0;
    double width = 360.0;
    double height = 180.0;
    for (std::size_t pair = 0; pair < locator.size() / 2; ++pair) {
        const PairRule& rule = kPairs[pair];
        width /= rule.divisions;
        height /= rule.divisions;
        for (std::size_t axis = 0; axis < 2; ++axis) {
            const std::size_t index = pair * 2 + axis;
            const int value = base::UpperCase(locator[index]) - rule.first;
            if (value < 0 || value >= rule.divisions)
                return "character " + std::to_string(index + 1) + " must be " + rule.what;
            if (axis == 0) {
                longitude += value * width;
            } else {
                latitude += value * height;
            }
        }
    }
    *centre = Position{latitude + height / 2, longitude + width / 2};
    return "";
}

}  // namespace

std::optional<Position> LocatorCentre(std::string_view locator) {
    Position centre;
    if (!Examine(locator, &centre).empty()) return std::nullopt;
    return centre;
}

std::string LocatorProblem(std::string_view locator) {
    Position unused;
    return Examine(locator, &unused);
}

std::vector<std::string> LocatorsInComment(std::string_view comment) {
    std::vector<std::string> found;
    std::size_t start = 0;
    while (start < comment.size()) {
        std::size_t end = start;
        while (end < comment.size() && base::IsLetterOrDigit(comment[end])) ++end;
        const std::string_view word = comment.substr(start, end - start);
        if (LocatorCentre(word) && !base::SameNoCase(word, "RR73")) found.emplace_back(word);
        start = end + 1;
    }
    return found;
}

Position StationPosition(std::string_view text) {
    const std::string_view trimmed = base::TrimBlanks(text);
    const auto invalid = [&](const std::string& why) {
        return base::Failure(base::Quoted(trimmed) + " is not a position: " + why);
    };
    if (trimmed.empty()) throw invalid("give a locator or latitude and longitude");
    const bool looksNumeric = (trimmed.front() >= '0' && trimmed.front() <= '9') ||
                              trimmed.front() == '-' || trimmed.front() == '+' ||
                              trimmed.front() == '.';
    if (!looksNumeric) {
        Position centre;
        const std::string problem = Examine(trimmed, &centre);
        if (!problem.empty()) throw invalid(problem);
        return centre;
    }
    std::size_t split = trimmed.find(',');
    if (split == std::string_view::npos) split = trimmed.find_first_of(" \t");
    if (split == std::string_view::npos) throw invalid("latitude and longitude are both needed");
    const auto latitude = PlainDecimal(trimmed.substr(0, split), 90.0);
    const auto longitude = PlainDecimal(trimmed.substr(split + 1), 180.0);
    if (!latitude) throw invalid("the latitude must be a number from -90 to 90");
    if (!longitude) throw invalid("the longitude must be a number from -180 to 180");
    return Position{*latitude, *longitude};
}

}  // namespace cluster
