#include "base/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "base/color.h"
#include "base/failure.h"

namespace {

struct TrimCase {
    std::string_view text;
    std::string_view expected;
};

const TrimCase kTrimCases[] = {
    {"", ""},
    {"   ", ""},
    {"abc", "abc"},
    {"  abc  ", "abc"},
    {" a b ", "a b"},
    {"\tabc\t", "\tabc\t"},
    {" \n abc \r ", "\n abc \r"},
    {" \xFF ", "\xFF"},
    {std::string_view(" \0 ", 3), std::string_view("\0", 1)},
};

TEST(TrimSpaces, RemovesOnlyTheSpaceCharacterAtBothEnds) {
    for (const auto& [text, expected] : kTrimCases) {
        EXPECT_EQ(base::TrimSpaces(text), expected) << '"' << text << '"';
    }
}

struct DecimalCase {
    std::int64_t value;
    std::string_view expected;
};

const DecimalCase kDecimalCases[] = {
    {0, "0"},
    {7, "7"},
    {-1, "-1"},
    {1440, "1440"},
    {-32768, "-32768"},
    {1000000, "1000000"},
    {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
    {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
};

TEST(DecimalText, IsPlainDigitsWithOptionalMinus) {
    for (const auto& [value, expected] : kDecimalCases) {
        EXPECT_EQ(base::DecimalText(value), expected);
    }
}

TEST(PaletteColor, GivesTheClassicSixteenColours) {
    using base::Color;
    const Color expected[16] = {
        Color::Rgb(0, 0, 0),       Color::Rgb(0, 0, 128),     Color::Rgb(0, 128, 0),
        Color::Rgb(0, 128, 128),   Color::Rgb(128, 0, 0),     Color::Rgb(128, 0, 128),
        Color::Rgb(128, 128, 0),   Color::Rgb(192, 192, 192), Color::Rgb(128, 128, 128),
        Color::Rgb(0, 0, 255),     Color::Rgb(0, 255, 0),     Color::Rgb(0, 255, 255),
        Color::Rgb(255, 0, 0),     Color::Rgb(255, 0, 255),   Color::Rgb(255, 255, 0),
        Color::Rgb(255, 255, 255),
    };
    for (int index = 0; index < 16; ++index) {
        EXPECT_EQ(base::PaletteColor(index), expected[index]) << index;
    }
    // The named colours the window uses are these palette entries.
    EXPECT_EQ(base::PaletteColor(1), base::kBlue);
    EXPECT_EQ(base::PaletteColor(10), base::kLightGreen);
    EXPECT_EQ(base::PaletteColor(11), base::kLightCyan);
    EXPECT_EQ(base::PaletteColor(12), base::kLightRed);
}

TEST(PaletteColor, OtherIndexFails) {
    for (int index : {-1, 16, 255, std::numeric_limits<int>::min()}) {
        EXPECT_THROW(base::PaletteColor(index), base::Failure) << index;
    }
}

}  // namespace
