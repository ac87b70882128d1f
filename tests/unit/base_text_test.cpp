#include "base/text.h"

#include <gtest/gtest.h>

#include <chrono>
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

TEST(TextCase, OnlyAsciiLettersChangeAndCompare) {
    const std::string mixed = "dl1abc/P \xE9\xFF[`{@";
    EXPECT_EQ(base::Upper(mixed), "DL1ABC/P \xE9\xFF[`{@");
    EXPECT_EQ(base::Lower(mixed), "dl1abc/p \xE9\xFF[`{@");
    EXPECT_TRUE(base::SameNoCase("Login:", "LOGIN:"));
    EXPECT_FALSE(base::SameNoCase("login", "login:"));
    EXPECT_FALSE(base::SameNoCase("\xE9", "\xC9")) << "no letters beyond ASCII";
    EXPECT_TRUE(base::EndsWithNoCase("Please enter your CALL:", "your call:"));
    EXPECT_FALSE(base::EndsWithNoCase("call:", "your call:"));
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const bool letter = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
        const bool digit = byte >= '0' && byte <= '9';
        EXPECT_EQ(base::IsLetter(c), letter) << byte;
        EXPECT_EQ(base::IsDigit(c), digit) << byte;
        EXPECT_EQ(base::IsLetterOrDigit(c), letter || digit) << byte;
    }
}

TEST(TextShown, SecondsAreRoundedAndLongTextIsShortened) {
    using namespace std::chrono_literals;
    EXPECT_EQ(base::SecondsText(3s), "3 s");
    EXPECT_EQ(base::SecondsText(2500ms), "3 s");
    EXPECT_EQ(base::SecondsText(2499ms), "2 s");
    EXPECT_EQ(base::SecondsText(10min), "600 s");
    EXPECT_EQ(base::SecondsText(0ms), "0 s");

    EXPECT_EQ(base::Shortened("abcdef", 6), "abcdef");
    EXPECT_EQ(base::Shortened("abcdefg", 6), "abcdef...");
    EXPECT_EQ(base::Shortened("", 0), "");

    EXPECT_EQ(base::ShownText("GA:123"), "GA:123");
    EXPECT_EQ(base::ShownText(std::string("a\0b\xFF\r\n", 6)), "a\\x00b\\xFF\\x0D\\x0A");
    EXPECT_EQ(base::ShownText(std::string(30, 'x'), 5), "xxxxx...");
    EXPECT_EQ(base::ShownText("xxxxx", 5), "xxxxx");
    EXPECT_EQ(base::ShownText("\x01\x02", 1), "\\x01...");
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
