#include "bridges/cluster/core/band_plan.h"

#include <algorithm>
#include <array>

#include "base/text.h"

namespace cluster {

namespace {

constexpr std::array<Band, 19> kBands{{
    {"2200m", 135.7, 137.8},     {"630m", 472, 479},       {"160m", 1800, 2000},
    {"80m", 3500, 4000},         {"60m", 5250, 5450},      {"40m", 7000, 7300},
    {"30m", 10100, 10150},       {"20m", 14000, 14350},    {"17m", 18068, 18168},
    {"15m", 21000, 21450},       {"12m", 24890, 24990},    {"10m", 28000, 29700},
    {"6m", 50000, 54000},        {"4m", 70000, 71000},     {"2m", 144000, 148000},
    {"1.25m", 219000, 225000},   {"70cm", 420000, 450000}, {"23cm", 1240000, 1300000},
    {"3cm", 10000000, 10500000},
}};

struct Segment {
    double fromKhz;
    double toKhz;
    Mode mode;
};

// Where a band is not phone: the CW and digital parts of the band plans, and the FT8 and FT4
// frequencies (their dial frequency and the 3 kHz above it) where these lie in a phone part.
// Anything else inside a band is phone.
constexpr Segment kSegments[] = {
    {135.7, 137.8, Mode::Cw},        {472, 479, Mode::Cw},          {1800, 1838, Mode::Cw},
    {1838, 1843, Mode::Digital},     {3500, 3570, Mode::Cw},        {3570, 3600, Mode::Digital},
    {5351.5, 5354, Mode::Cw},        {5354, 5366.5, Mode::Digital}, {7000, 7040, Mode::Cw},
    {7040, 7060, Mode::Digital},     {7074, 7077, Mode::Digital},   {10100, 10130, Mode::Cw},
    {10130, 10150, Mode::Digital},   {14000, 14070, Mode::Cw},      {14070, 14100, Mode::Digital},
    {18068, 18095, Mode::Cw},        {18095, 18111, Mode::Digital}, {21000, 21070, Mode::Cw},
    {21070, 21150, Mode::Digital},   {24890, 24915, Mode::Cw},      {24915, 24931, Mode::Digital},
    {28000, 28070, Mode::Cw},        {28070, 28190, Mode::Digital}, {50000, 50100, Mode::Cw},
    {50300, 50400, Mode::Digital},   {144000, 144110, Mode::Cw},    {144110, 144150, Mode::Digital},
    {144174, 144177, Mode::Digital}, {432000, 432100, Mode::Cw},    {432174, 432177, Mode::Digital},
    {1296000, 1296150, Mode::Cw},
};

struct ModeWord {
    std::string_view word;
    Mode mode;
};

constexpr ModeWord kModeWords[] = {
    {"CW", Mode::Cw},        {"SSB", Mode::Phone},      {"USB", Mode::Phone},
    {"LSB", Mode::Phone},    {"FM", Mode::Phone},       {"PHONE", Mode::Phone},
    {"FT8", Mode::Digital},  {"FT4", Mode::Digital},    {"RTTY", Mode::Digital},
    {"PSK", Mode::Digital},  {"PSK31", Mode::Digital},  {"PSK63", Mode::Digital},
    {"BPSK", Mode::Digital}, {"JT65", Mode::Digital},   {"JT9", Mode::Digital},
    {"JS8", Mode::Digital},  {"MSK144", Mode::Digital}, {"Q65", Mode::Digital},
    {"FST4", Mode::Digital}, {"WSPR", Mode::Digital},   {"OLIVIA", Mode::Digital},
    {"MFSK", Mode::Digital}, {"SSTV", Mode::Digital},   {"DIGI", Mode::Digital},
    {"DATA", Mode::Digital},
};

std::optional<Mode> ModeInComment(std::string_view comment) {
    std::size_t i = 0;
    while (i < comment.size()) {
        while (i < comment.size() && !base::IsLetterOrDigit(comment[i])) ++i;
        std::size_t end = i;
        while (end < comment.size() && base::IsLetterOrDigit(comment[end])) ++end;
        const std::string_view word = comment.substr(i, end - i);
        for (const ModeWord& known : kModeWords)
            if (base::SameNoCase(word, known.word)) return known.mode;
        i = end;
    }
    return std::nullopt;
}

}  // namespace

std::span<const Band> Bands() {
    return kBands;
}

const Band* BandOf(double khz) {
    for (const Band& band : kBands)
        if (khz >= band.lowKhz && khz <= band.highKhz) return &band;
    return nullptr;
}

const Band* BandNamed(std::string_view name) {
    for (const Band& band : kBands) {
        if (base::SameNoCase(name, band.name)) return &band;
        // Bands in metres may be written without the "m": "20" is 20m, but "70" is not 70cm.
        const bool inMetres = !band.name.ends_with("cm");
        if (inMetres && base::SameNoCase(name, band.name.substr(0, band.name.size() - 1)))
            return &band;
    }
    return nullptr;
}

std::string_view ModeName(Mode mode) {
    switch (mode) {
        case Mode::Cw:
            return "CW";
        case Mode::Phone:
            return "phone";
        case Mode::Digital:
            break;
    }
    return "digital";
}

std::optional<Mode> ModeOf(const Spot& spot) {
    if (const std::optional<Mode> said = ModeInComment(spot.comment)) return said;
    if (!BandOf(spot.frequencyKhz)) return std::nullopt;
    for (const Segment& segment : kSegments)
        if (spot.frequencyKhz >= segment.fromKhz && spot.frequencyKhz < segment.toKhz)
            return segment.mode;
    return Mode::Phone;
}

}  // namespace cluster
