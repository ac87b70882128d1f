#include "bridges/rotator/core/heading.h"
#include "base/rounding.h"

#include <charconv>
#include <cmath>

namespace rotbridge {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsPlainDecimal(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    int digits = 0;
    int points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.') {
            ++points;
        } else {
            return false;
        }
    }
    return digits > 0 && points <= 1;
}
}  // namespace

std::optional<double> HeadingValue(std::string_view text) {
    text = TrimBlanks(text);
    if (!IsPlainDecimal(text)) return std::nullopt;
    // from_chars takes no "+"; the sign was checked above.
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> AzimuthForHeading(double heading, const AzimuthRange& range) {
    if (heading >= range.min && heading <= range.max) return heading;
    const double lower = heading - 360.0;
    if (heading >= 0.0 && heading <= 360.0 && lower >= range.min && lower <= range.max)
        return lower;
    return std::nullopt;
}

int WholeDegrees(double azimuth) {
    if (!std::isfinite(azimuth)) return 0;
    const double whole = std::fmod(base::RoundHalfEven(azimuth), 360.0);
    return static_cast<int>(whole < 0 ? whole + 360.0 : whole);
}

std::string ReportText(double azimuth) {
    return "RA:" + std::to_string(WholeDegrees(azimuth));
}

std::string DegreesText(double degrees) {
    // Two decimals at most: rotators resolve a tenth of a degree at best.
    const double rounded = base::RoundHalfAway(degrees * 100.0) / 100.0;
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, rounded);
    if (error != std::errc()) return "?";
    std::string text(buffer, end);
    return text == "-0" ? "0" : text;
}

}  // namespace rotbridge
