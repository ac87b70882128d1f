#include "base/numeric.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace {

using base::Failure;
using base::NumericValue;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ValueCase {
    std::string_view text;
    double expected;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
    *out << ::testing::PrintToString(std::string(c.text));
}

// Compared bit for bit (EXPECT_EQ on doubles), so every result must be the correctly rounded one.
const ValueCase kValueCases[] = {
    // Plain numbers and where they stop.
    {"0", 0.0},
    {"42", 42.0},
    {"-32768", -32768.0},
    {"-32768.0", -32768.0},
    {"+7", 7.0},
    {".5", 0.5},
    {"5.", 5.0},
    {"-.25", -0.25},
    {"1.2.3", 1.2},
    {"12abc", 12.0},
    {"3,5", 3.0},
    {"0.1", 0.1},
    {"3.14159265358979", 3.14159265358979},
    {"00000000000000000000000000123", 123.0},
    {"123456789012345678901234567890", 123456789012345678901234567890.0},
    // Blanks, tabs and line feeds anywhere; other white space ends the number.
    {"  17  ", 17.0},
    {"1 2 3", 123.0},
    {"- 5", -5.0},
    {"\t\n 4\t5\n.\t5", 45.5},
    {"1 e 2", 100.0},
    {"\r5", 0.0},
    {"5\r6", 5.0},
    // Exponents: E or D, either case, optional sign; a marker without digits is no exponent.
    {"1E3", 1000.0},
    {"1e3", 1000.0},
    {"1D3", 1000.0},
    {"2.5d-1", 0.25},
    {"1e+2", 100.0},
    {"1e", 1.0},
    {"1e+", 1.0},
    {"1e-", 1.0},
    {"1ex", 1.0},
    {"1e2e3", 100.0},
    {"1e2.5", 100.0},
    // The ends of the double range, and beyond it.
    {"1e308", 1e308},
    {"1.7976931348623157e308", DBL_MAX},
    {"4.9e-324", 4.9e-324},
    {"2.2250738585072014E-308", DBL_MIN},
    {"1e309", kInf},
    {"-1e309", -kInf},
    {"1e99999999999999999999999", kInf},
    {"1e-400", 0.0},
    {"-1e-400", 0.0},
    {"0.0000000001e-320", 0.0},
    {"100000000000e-330", 1e-319},
    {"0e99999", 0.0},
    // No number at all.
    {"", 0.0},
    {"   ", 0.0},
    {"abc", 0.0},
    {"-", 0.0},
    {"+", 0.0},
    {".", 0.0},
    {"-.", 0.0},
    {"e5", 0.0},
    {"--5", 0.0},
    {"+-5", 0.0},
    {"\xFF", 0.0},
    {"7\xFF"
     "8",
     7.0},
    {std::string_view("\0"
                      "5",
                      2),
     0.0},
    {std::string_view("5\0"
                      "5",
                      3),
     5.0},
    // Hexadecimal and octal whole numbers: 16 bits, then 32 bits, signed.
    {"&H7FFF", 32767.0},
    {"&H8000", -32768.0},
    {"&HFFFF", -1.0},
    {"&hffff", -1.0},
    {"&H10000", 65536.0},
    {"&H0000FFFF", -1.0},
    {"&H7FFFFFFF", 2147483647.0},
    {"&H80000000", -2147483648.0},
    {"&HFFFFFFFF", -1.0},
    {"&H000000000000001A", 26.0},
    {"&H F F", 255.0},
    {"&HFF FF", -1.0},
    {"& H 10", 16.0},
    {"&HFFG", 255.0},
    {"&H1.5", 1.0},
    {"&O17", 15.0},
    {"&o777", 511.0},
    {"&O177777", -1.0},
    {"&O100000", -32768.0},
    {"&O200000", 65536.0},
    {"&O37777777777", -1.0},
    {"&O78", 7.0},
    {"&H", 0.0},
    {"&O", 0.0},
    {"&HG", 0.0},
    {"&O8", 0.0},
    {"&", 0.0},
    {"&X1", 0.0},
    {"&17", 0.0},
    {"-&H10", 0.0},
    {"+&H10", 0.0},
};

class NumericValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValueTest, ReadsTheNumberAtTheStart) {
    const double value = NumericValue(GetParam().text);
    EXPECT_EQ(value, GetParam().expected);
    EXPECT_FALSE(std::signbit(value) && value == 0.0) << "negative zero";
}

INSTANTIATE_TEST_SUITE_P(Table, NumericValueTest, ::testing::ValuesIn(kValueCases));

TEST(NumericValue, HexOrOctalTooLongForThirtyTwoBitsOverflows) {
    for (std::string_view text : {"&H100000000", "&HFFFFFFFFF", "&O40000000000",
                                  "&HFFFFFFFFFFFFFFFFFFFFFFFF", "&H1 0000 0000"}) {
        EXPECT_THROW(NumericValue(text), Failure) << text;
    }
    try {
        NumericValue("&H123456789");
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Description(), "Overflow");
    }
}

TEST(NumericValue, ReadsOnlyTheGivenText) {
    // The view ends before the exponent digits that follow it in memory.
    const std::string_view text = std::string_view("12e5", 3);
    EXPECT_EQ(NumericValue(text), 12.0);
    EXPECT_EQ(NumericValue(std::string_view("&H12", 3)), 1.0);
}

struct WholeCase {
    double value;
    std::int32_t expected;
};

const WholeCase kInt16Cases[] = {
    {0.0, 0},
    {0.5, 0},
    {1.5, 2},
    {2.5, 2},
    {3.5, 4},
    {-0.5, 0},
    {-1.5, -2},
    {-2.5, -2},
    {0.49999999999999994, 0},
    {2.5000000000000004, 3},
    {-0.7, -1},
    {1.2, 1},
    {32767.0, 32767},
    {32767.4, 32767},
    {32766.5, 32766},
    {-32768.0, -32768},
    {-32768.5, -32768},
    {-32767.5, -32768},
    {1e-300, 0},
    {-1e-300, 0},
};

class ToInt16Test : public ::testing::TestWithParam<WholeCase> {};

TEST_P(ToInt16Test, RoundsHalvesToEven) {
    EXPECT_EQ(base::ToInt16(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Table, ToInt16Test, ::testing::ValuesIn(kInt16Cases));

TEST(ToInt16, OutOfRangeOrNotANumberOverflows) {
    for (double value :
         {32767.5, 32768.0, -32768.500000001, -32769.0, 1e300, -1e300, kInf, -kInf, kNaN, -kNaN}) {
        EXPECT_THROW(base::ToInt16(value), Failure) << value;
    }
}

const WholeCase kInt32Cases[] = {
    {2.5, 2},
    {-3.5, -4},
    {65536.0, 65536},
    {2147483647.0, 2147483647},
    {2147483647.4, 2147483647},
    {2147483646.5, 2147483646},
    {-2147483648.0, -2147483647 - 1},
    {-2147483648.5, -2147483647 - 1},
};

class ToInt32Test : public ::testing::TestWithParam<WholeCase> {};

TEST_P(ToInt32Test, RoundsHalvesToEven) {
    EXPECT_EQ(base::ToInt32(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Table, ToInt32Test, ::testing::ValuesIn(kInt32Cases));

TEST(ToInt32, OutOfRangeOrNotANumberOverflows) {
    for (double value : {2147483647.5, 2147483648.0, -2147483649.0, 9.3e18, 1e300, kInf, kNaN}) {
        EXPECT_THROW(base::ToInt32(value), Failure) << value;
    }
}

TEST(ToSingle, ConvertsEveryValueThatRoundsIntoRange) {
    EXPECT_EQ(base::ToSingle(0.1), 0.1f);
    EXPECT_EQ(base::ToSingle(-1440.0), -1440.0f);
    EXPECT_EQ(base::ToSingle(FLT_MAX), FLT_MAX);
    EXPECT_EQ(base::ToSingle(-static_cast<double>(FLT_MAX)), -FLT_MAX);
    // Just under halfway to 2^128 still rounds down to the largest single.
    EXPECT_EQ(base::ToSingle(std::nextafter(0x1.ffffffp+127, 0.0)), FLT_MAX);
    EXPECT_EQ(base::ToSingle(1e-50), 0.0f);
    EXPECT_EQ(base::ToSingle(1e-45), std::numeric_limits<float>::denorm_min());
}

TEST(ToSingle, BeyondTheSingleRangeOrNotANumberOverflows) {
    for (double value :
         {0x1.ffffffp+127, -0x1.ffffffp+127, 1e39, -1e39, DBL_MAX, kInf, -kInf, kNaN}) {
        EXPECT_THROW(base::ToSingle(value), Failure) << value;
    }
}

}  // namespace
