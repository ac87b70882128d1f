// Headings as Vantro32 sends them, reports as the bridge publishes them, and the poke texts.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "bridges/rotator/core/heading.h"
#include "bridges/rotator/core/poke_message.h"

namespace {

using rotbridge::AzimuthRange;

TEST(BridgeHeading, OnlyPlainDecimalNumbersAreHeadings) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"123", 123.0},   {"  45 ", 45.0}, {"\t7", 7.0},   {"0", 0.0},    {"045", 45.0},
        {"359.5", 359.5}, {".5", 0.5},     {"5.", 5.0},    {"+10", 10.0}, {"-90", -90.0},
        {"", {}},         {" ", {}},       {".", {}},      {"-", {}},     {"abc", {}},
        {"12a", {}},      {"1e2", {}},     {"1E2", {}},    {"nan", {}},   {"inf", {}},
        {"0x1A", {}},     {"&H1A", {}},    {"1,5", {}},    {"1.2.3", {}}, {"--5", {}},
        {"+-5", {}},      {"5 5", {}},     {"12\r\n", {}}, {"\xFF", {}},  {"1 2", {}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(rotbridge::HeadingValue(text), expected) << text;
    EXPECT_EQ(rotbridge::HeadingValue(std::string(400, '9')), std::nullopt) << "beyond a double";
}

TEST(BridgeHeading, AHeadingGoesWhereTheRotatorCanReachIt) {
    struct Case {
        AzimuthRange range;
        double heading;
        std::optional<double> azimuth;
    };
    const Case cases[] = {
        {{0, 360}, 0, 0},        {{0, 360}, 360, 360},     {{0, 360}, 123.5, 123.5},
        {{0, 360}, -1, {}},      {{0, 360}, 361, {}},      {{-180, 180}, 270, -90},
        {{-180, 180}, 180, 180}, {{-180, 180}, 181, -179}, {{-180, 180}, 360, 0},
        {{-180, 180}, -90, -90}, {{-180, 180}, 400, {}},   {{-180, 450}, 400, 400},
        {{-180, 450}, 451, {}},  {{0, 450}, 420, 420},     {{90, 270}, 45, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rotbridge::AzimuthForHeading(c.heading, c.range), c.azimuth)
            << c.heading << " in " << c.range.min << ".." << c.range.max;
}

TEST(BridgeHeading, ReportsAreWholeDegreesFromZeroTo359) {
    const std::pair<double, const char*> cases[] = {
        {0, "RA:0"},     {123.4, "RA:123"}, {123.6, "RA:124"}, {359.4, "RA:359"}, {359.6, "RA:0"},
        {360, "RA:0"},   {370, "RA:10"},    {450, "RA:90"},    {-0.4, "RA:0"},    {-1, "RA:359"},
        {-90, "RA:270"}, {-180, "RA:180"},  {720.2, "RA:0"},   {-360, "RA:0"},    {1e300, "RA:0"},
    };
    for (const auto& [azimuth, report] : cases)
        EXPECT_EQ(rotbridge::ReportText(azimuth), report) << azimuth;
}

TEST(BridgeHeading, DegreesAreWrittenShortAndWithoutLocale) {
    const std::pair<double, const char*> cases[] = {
        {123, "123"}, {-90, "-90"}, {45.5, "45.5"}, {0.004, "0"}, {-0.001, "0"}, {10.126, "10.13"},
    };
    for (const auto& [degrees, text] : cases) EXPECT_EQ(rotbridge::DegreesText(degrees), text);
}

TEST(BridgePoke, TurnsAndQueriesAreToldApartByTheirExactPrefix) {
    using Kind = rotbridge::PokeMessage::Kind;
    const std::tuple<const char*, Kind, const char*> cases[] = {
        {"GA:123", Kind::Turn, "123"},   {"GA:", Kind::Turn, ""},
        {"GA: 45 ", Kind::Turn, " 45 "}, {"RA:", Kind::Query, ""},
        {"ga:123", Kind::Unknown, ""},   {"RA:123", Kind::Unknown, ""},
        {"RA: ", Kind::Unknown, ""},     {"", Kind::Unknown, ""},
        {"GA", Kind::Unknown, ""},       {" GA:1", Kind::Unknown, ""},
    };
    for (const auto& [text, kind, heading] : cases) {
        const auto message = rotbridge::ReadPoke(text);
        EXPECT_EQ(message.kind, kind) << text;
        EXPECT_EQ(message.heading, heading) << text;
    }
}

}  // namespace
