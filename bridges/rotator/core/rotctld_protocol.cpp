#include "bridges/rotator/core/rotctld_protocol.h"

#include <charconv>
#include <cmath>

namespace rotbridge {

namespace {
std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The text after a "key:" at the start of a line.
std::optional<std::string_view> KeyedText(std::string_view line, std::string_view key) {
    if (line.substr(0, key.size()) != key) return std::nullopt;
    line.remove_prefix(key.size());
    if (line.empty() || line.front() != ':') return std::nullopt;
    return Trim(line.substr(1));
}

// The value after a "key:" or "key=" at the start of a line.
std::optional<double> KeyedAngle(std::string_view line, std::string_view key) {
    if (line.substr(0, key.size()) != key) return std::nullopt;
    line.remove_prefix(key.size());
    if (line.empty() || (line.front() != ':' && line.front() != '=')) return std::nullopt;
    return AngleValue(line.substr(1));
}
}  // namespace

std::string SetPositionCommand(double azimuth) {
    return "P " + DegreesText(azimuth) + " 0";
}

std::optional<int> ReportCode(std::string_view line) {
    line = Trim(line);
    constexpr std::string_view kPrefix = "RPRT ";
    if (line.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    line = Trim(line.substr(kPrefix.size()));
    int code = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), code);
    if (error != std::errc() || end != line.data() + line.size() || line.empty())
        return std::nullopt;
    return code;
}

std::optional<double> AngleValue(std::string_view line) {
    line = Trim(line);
    if (line.empty()) return std::nullopt;
    if (line.front() == '+') line.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc() || end != line.data() + line.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<AzimuthRange> RangeFromDumpState(const std::vector<std::string>& lines) {
    std::optional<double> min;
    std::optional<double> max;
    for (const std::string& text : lines) {
        const std::string_view line = Trim(text);
        if (auto v = KeyedAngle(line, "Minimum Azimuth")) min = v;
        if (auto v = KeyedAngle(line, "min_az")) min = v;
        if (auto v = KeyedAngle(line, "Maximum Azimuth")) max = v;
        if (auto v = KeyedAngle(line, "max_az")) max = v;
    }
    if (!min || !max || *min >= *max) return std::nullopt;
    return AzimuthRange{*min, *max};
}

std::optional<std::string> ModelFromDumpCaps(const std::vector<std::string>& lines) {
    constexpr std::size_t kLongest = 60;
    std::string maker;
    std::string model;
    for (const std::string& text : lines) {
        const std::string_view line = Trim(text);
        if (auto v = KeyedText(line, "Mfg name")) maker = *v;
        if (auto v = KeyedText(line, "Model name")) model = *v;
    }
    std::string both = maker.empty() || model.empty() ? maker + model : maker + " " + model;
    if (both.empty()) return std::nullopt;
    for (char& c : both)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    if (both.size() > kLongest) both = both.substr(0, kLongest);
    return both;
}

std::string ErrorText(int code) {
    switch (code) {
        case -1:
            return "invalid parameter";
        case -2:
            return "invalid configuration";
        case -4:
            return "not implemented by this rotator";
        case -5:
            return "the rotator did not answer in time";
        case -6:
            return "input/output error with the rotator";
        case -8:
            return "protocol error with the rotator";
        case -9:
            return "command rejected by the rotator";
        case -11:
            return "function not available";
        case -17:
            return "value outside what the rotator accepts";
        default:
            return "Hamlib error " + std::to_string(code);
    }
}

void LineBuffer::Append(std::string_view bytes) {
    bytes_.append(bytes);
    if (bytes_.find('\n') == std::string::npos && bytes_.size() > kLimit) overflowed_ = true;
}

std::optional<std::string> LineBuffer::TakeLine() {
    const std::size_t end = bytes_.find('\n');
    if (end == std::string::npos) return std::nullopt;
    if (end > kLimit) {
        overflowed_ = true;
        return std::nullopt;
    }
    std::string line = bytes_.substr(0, end);
    bytes_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void LineBuffer::Clear() {
    bytes_.clear();
    overflowed_ = false;
}

}  // namespace rotbridge
