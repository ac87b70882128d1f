#include "bridges/cluster/core/band_plan.h"

#include <algorithm>
#include <array>

#include "base/text.h"

namespace cluster {

namespace {

// The widest allocation of the three IARU regions; above 23 cm, the whole of each band.
constexpr std::array<Band, 29> kBands{{
    {"2200m", 135.7, 137.8},
    {"630m", 472, 479},
    {"160m", 1800, 2000},
    {"80m", 3500, 4000},
    {"60m", 5250, 5450},
    {"40m", 7000, 7300},
    {"30m", 10100, 10150},
    {"20m", 14000, 14350},
    {"17m", 18068, 18168},
    {"15m", 21000, 21450},
    {"12m", 24890, 24990},
    {"10m", 28000, 29700},
    {"6m", 50000, 54000},
    {"4m", 70000, 71000},
    {"2m", 144000, 148000},
    {"1.25m", 219000, 225000},
    {"70cm", 420000, 450000},
    {"33cm", 902000, 928000},
    {"23cm", 1240000, 1300000},
    {"13cm", 2300000, 2450000},
    {"9cm", 3300000, 3500000},
    {"6cm", 5650000, 5925000},
    {"3cm", 10000000, 10500000},
    {"1.2cm", 24000000, 24250000},
    {"6mm", 47000000, 47200000},
    {"4mm", 75500000, 81500000},
    {"2.5mm", 122250000, 123000000},
    {"2mm", 134000000, 149000000},
    {"1mm", 241000000, 250000000},
}};

// The regions a segment holds in, as bits.
constexpr unsigned kR1 = 1, kR2 = 2, kR3 = 4, kAll = kR1 | kR2 | kR3;

struct Segment {
    double fromKhz;
    double toKhz;
    Mode mode;
    unsigned regions;
};

// Where a band is not phone, in the band plans of each IARU region: the CW and digital parts,
// and the FT8 and FT4 frequencies (their dial frequency and the 3 kHz above it) where these lie
// in a phone part. In Region 2 the parts the United States keep for CW and data (phone from
// 7125, 14150, 21200 and 28300 kHz), as most stations of the region work. Anything else inside
// a band is phone. The first segment that holds the frequency for the region decides.
constexpr Segment kSegments[] = {
    {135.7, 137.8, Mode::Cw, kAll},
    {472, 479, Mode::Cw, kAll},
    {1800, 1838, Mode::Cw, kR1 | kR3},
    {1800, 1840, Mode::Cw, kR2},
    {1838, 1843, Mode::Digital, kAll},
    {3500, 3525, Mode::Cw, kR3},
    {3525, 3535, Mode::Digital, kR3},
    {3500, 3570, Mode::Cw, kR1 | kR2},
    {3570, 3600, Mode::Digital, kR1 | kR2},
    {3573, 3576, Mode::Digital, kR3},
    {5351.5, 5354, Mode::Cw, kAll},
    {5354, 5366.5, Mode::Digital, kAll},
    {7000, 7025, Mode::Cw, kR3},
    {7025, 7040, Mode::Digital, kR3},
    {7000, 7040, Mode::Cw, kR1},
    {7040, 7060, Mode::Digital, kR1},
    {7047.5, 7050.5, Mode::Digital, kAll},
    {7000, 7070, Mode::Cw, kR2},
    {7070, 7125, Mode::Digital, kR2},
    {7074, 7077, Mode::Digital, kAll},
    {10100, 10130, Mode::Cw, kAll},
    {10130, 10150, Mode::Digital, kAll},
    {14000, 14070, Mode::Cw, kAll},
    {14070, 14100, Mode::Digital, kR1 | kR3},
    {14070, 14150, Mode::Digital, kR2},
    {18068, 18095, Mode::Cw, kR1 | kR3},
    {18095, 18111, Mode::Digital, kR1 | kR3},
    {18068, 18100, Mode::Cw, kR2},
    {18100, 18110, Mode::Digital, kR2},
    {21000, 21070, Mode::Cw, kAll},
    {21070, 21150, Mode::Digital, kR1 | kR3},
    {21070, 21200, Mode::Digital, kR2},
    {24890, 24915, Mode::Cw, kR1 | kR3},
    {24915, 24931, Mode::Digital, kR1 | kR3},
    {24890, 24920, Mode::Cw, kR2},
    {24920, 24930, Mode::Digital, kR2},
    {28000, 28070, Mode::Cw, kAll},
    {28070, 28190, Mode::Digital, kR1 | kR3},
    {28070, 28300, Mode::Digital, kR2},
    {50000, 50100, Mode::Cw, kAll},
    {50300, 50400, Mode::Digital, kAll},
    {144000, 144110, Mode::Cw, kAll},
    {144110, 144150, Mode::Digital, kAll},
    {144174, 144177, Mode::Digital, kAll},
    {432000, 432100, Mode::Cw, kAll},
    {432174, 432177, Mode::Digital, kAll},
    {1296000, 1296150, Mode::Cw, kAll},
    {2320000, 2320150, Mode::Cw, kAll},
    {3400000, 3400150, Mode::Cw, kAll},
    {5760000, 5760150, Mode::Cw, kAll},
    {10368000, 10368150, Mode::Cw, kAll},
};

constexpr unsigned RegionBit(IaruRegion region) {
    switch (region) {
        case IaruRegion::One:
            return kR1;
        case IaruRegion::Two:
            return kR2;
        case IaruRegion::Three:
            break;
    }
    return kR3;
}

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
        const bool inMetres = !band.name.ends_with("cm") && !band.name.ends_with("mm");
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

IaruRegion RegionOf(const CallCountry& where) {
    switch (where.continent) {
        case Continent::NorthAmerica:
        case Continent::SouthAmerica:
            return IaruRegion::Two;
        case Continent::Oceania:
            // Hawaii and the islands of its ITU zone are in Region 2.
            return where.ituZone == 61 ? IaruRegion::Two : IaruRegion::Three;
        case Continent::Asia:
            // Russia and Central Asia (CQ zones 16 to 19), the Caucasus, Mongolia and the
            // Middle East west of Iran (ITU zones 29, 32, 39) are in Region 1.
            return (where.cqZone >= 16 && where.cqZone <= 19) || where.ituZone == 29 ||
                           where.ituZone == 32 || where.ituZone == 39
                       ? IaruRegion::One
                       : IaruRegion::Three;
        case Continent::Europe:
        case Continent::Africa:
        case Continent::Antarctica:
            break;
    }
    return IaruRegion::One;
}

std::optional<Mode> ModeOf(const Spot& spot, IaruRegion region) {
    if (const std::optional<Mode> said = ModeInComment(spot.comment)) return said;
    if (!BandOf(spot.frequencyKhz)) return std::nullopt;
    for (const Segment& segment : kSegments)
        if ((segment.regions & RegionBit(region)) && spot.frequencyKhz >= segment.fromKhz &&
            spot.frequencyKhz < segment.toKhz)
            return segment.mode;
    return Mode::Phone;
}

}  // namespace cluster
