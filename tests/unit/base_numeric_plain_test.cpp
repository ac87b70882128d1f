// NumericValue reads a plain decimal number at once and anything else character by character. A
// blank in front sends any text the second way without changing its value, so both ways must give
// the same for every text: the same value, bit for bit, or the same failure.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>
#include <string>

#include "base/failure.h"
#include "base/numeric.h"

namespace {

std::optional<double> Read(const std::string& text) {
    try {
        return base::NumericValue(text);
    } catch (const base::Failure&) {
        return std::nullopt;
    }
}

void ExpectBothWaysAgree(const std::string& text) {
    const std::optional<double> direct = Read(text), stepwise = Read(" " + text);
    ASSERT_EQ(direct.has_value(), stepwise.has_value()) << '"' << text << '"';
    if (direct) {
        EXPECT_EQ(std::memcmp(&*direct, &*stepwise, sizeof(double)), 0)
            << '"' << text << "\" " << *direct << " vs " << *stepwise;
    }
}

TEST(NumericPlainTest, ChosenTextsReadTheSameBothWays) {
    for (const char* text : {"0",
                             "-0",
                             "-0.0",
                             "14025.0",
                             "-32768",
                             "187.5",
                             ".5",
                             "5.",
                             "-.5",
                             "1.5E3",
                             "1.5e-3",
                             "1E",
                             "1E+",
                             "1e 3",
                             "1 2",
                             "1.5D3",
                             "1.5d-3",
                             "12abc",
                             "1-2",
                             "1.2.3",
                             "1e5.3",
                             "inf",
                             "-inf",
                             "nan",
                             "infinity",
                             "+5",
                             "-",
                             ".",
                             "-.",
                             "1e400",
                             "-1e400",
                             "1e-400",
                             "4.9e-324",
                             "2.2250738585072011e-308",
                             "179769313486231580793728971405301e276",
                             "00000000000000000000000000000001.5",
                             "0.1000000000000000055511151231257827",
                             "1e99999999999999999999",
                             "0e99999999999999999999",
                             "1\t2",
                             "1\n2",
                             "7&H10",
                             "&H10",
                             "&HFFFF",
                             "&O777",
                             "1E\t+\t3",
                             "3.0 kHz"})
        ExpectBothWaysAgree(text);
}

TEST(NumericPlainTest, GeneratedTextsReadTheSameBothWays) {
    const std::string alphabet = "0123456789012345678901234567890123456789..--++eEdD &Hho\tx";
    std::mt19937 random(20001);
    for (int i = 0; i < 200000; ++i) {
        std::string text(random() % 12, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        ExpectBothWaysAgree(text);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
