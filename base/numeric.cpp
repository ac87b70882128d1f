#include "base/numeric.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <system_error>

#include "base/failure.h"
#include "base/rounding.h"

namespace base {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a text one character at a time, stepping over blanks wherever they stand.
class BlankSkippingReader {
  public:
    explicit BlankSkippingReader(std::string_view text) : text_(text) { SkipBlanks(); }

    // The current character; NUL past the end, which never continues a number either.
    char Peek() const { return position_ < text_.size() ? text_[position_] : '\0'; }
    void Advance() {
        ++position_;
        SkipBlanks();
    }

  private:
    void SkipBlanks() {
        while (position_ < text_.size() && IsBlank(text_[position_])) ++position_;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

// Value of a digit in the given base (8 or 16), or -1.
int DigitValue(char c, int base) {
    int value = -1;
    if (IsDecimalDigit(c)) value = c - '0';
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    return value < base ? value : -1;
}

// The digits after "&H" / "&O". The width follows the value, so leading zeros do not widen it.
double ReadWholeNumber(BlankSkippingReader& reader, int base) {
    std::uint64_t value = 0;
    for (int digit = DigitValue(reader.Peek(), base); digit >= 0;
         digit = DigitValue(reader.Peek(), base)) {
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu) throw Failure(kOverflow);
        reader.Advance();
    }
    if (value <= 0xFFFFu) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Beyond this an exponent only matters through its sign: no text holds enough digits to pull
// it back into the double range.
constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;

double ReadDecimalNumber(BlankSkippingReader& reader) {
    std::string number;  // the number without blanks, in the form from_chars reads
    if (reader.Peek() == '+' || reader.Peek() == '-') {
        if (reader.Peek() == '-') number += '-';
        reader.Advance();
    }
    // Decimal order of the leading significant digit, to tell overflow from underflow.
    std::int64_t wholeDigits = 0, fractionZeros = 0;
    bool anyDigit = false;
    for (; IsDecimalDigit(reader.Peek()); reader.Advance()) {
        if (wholeDigits > 0 || reader.Peek() != '0') ++wholeDigits;
        number += reader.Peek();
        anyDigit = true;
    }
    if (reader.Peek() == '.') {
        number += '.';
        bool significant = wholeDigits > 0;
        for (reader.Advance(); IsDecimalDigit(reader.Peek()); reader.Advance()) {
            significant = significant || reader.Peek() != '0';
            if (!significant) ++fractionZeros;
            number += reader.Peek();
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0.0;

    std::int64_t exponent = 0;
    const char marker = reader.Peek();
    if (marker == 'E' || marker == 'e' || marker == 'D' || marker == 'd') {
        reader.Advance();
        const bool negative = reader.Peek() == '-';
        if (reader.Peek() == '+' || reader.Peek() == '-') reader.Advance();
        bool anyExponentDigit = false;
        for (; IsDecimalDigit(reader.Peek()); reader.Advance()) {
            if (exponent < kExponentCap) exponent = exponent * 10 + (reader.Peek() - '0');
            anyExponentDigit = true;
        }
        // "1E" and "1E+" are the number 1: the exponent never began.
        if (anyExponentDigit) {
            if (negative) exponent = -exponent;
            number += 'e';
            number += std::to_string(exponent);
        }
    }

    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const std::int64_t order = exponent + (wholeDigits > 0 ? wholeDigits : -fractionZeros);
        value = order > 0 ? HUGE_VAL : 0.0;
        if (number.front() == '-') value = -value;
    }
    return value == 0.0 ? 0.0 : value;  // never a negative zero
}

// Most texts are a plain decimal number, read at once by from_chars. Anything that the reading
// above could take differently goes that way instead: a blank anywhere in the number, a leading
// '+', an exponent that from_chars leaves unread (a 'D', or an 'E' it could not complete, which
// may be completed past a blank), and a value out of range.
std::optional<double> PlainDecimalNumber(std::string_view text) {
    const char* const end = text.data() + text.size();
    const char* const digits = text.data() + (!text.empty() && text.front() == '-');
    // A digit or a point first: from_chars would also read "inf" and "nan".
    if (digits == end || !(IsDecimalDigit(*digits) || *digits == '.')) return std::nullopt;
    double value = 0.0;
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc()) return std::nullopt;
    if (stop != end) {
        switch (*stop) {
            case ' ':
            case '\t':
            case '\n':
            case 'D':
            case 'd':
            case 'E':
            case 'e':
                return std::nullopt;
            default:
                break;
        }
    }
    return value == 0.0 ? 0.0 : value;  // never a negative zero
}

template <typename Int>
Int ToWhole(double value, double lowest, double highest) {
    const double rounded = RoundHalfEven(value);
    // Written so that NaN fails too.
    if (!(rounded >= lowest && rounded <= highest)) throw Failure(kOverflow);
    return static_cast<Int>(rounded);
}

// The smallest magnitude that rounds past the largest single: halfway between FLT_MAX and 2^128.
constexpr double kSingleOverflow = 0x1.ffffffp+127;

}  // namespace

double NumericValue(std::string_view text) {
    if (const std::optional<double> plain = PlainDecimalNumber(text)) return *plain;
    BlankSkippingReader reader(text);
    if (reader.Peek() != '&') return ReadDecimalNumber(reader);
    reader.Advance();
    const char radix = reader.Peek();
    if (radix == 'H' || radix == 'h' || radix == 'O' || radix == 'o') {
        reader.Advance();
        return ReadWholeNumber(reader, radix == 'H' || radix == 'h' ? 16 : 8);
    }
    return 0.0;
}

std::int16_t ToInt16(double value) {
    return ToWhole<std::int16_t>(value, -32768.0, 32767.0);
}

std::int32_t ToInt32(double value) {
    return ToWhole<std::int32_t>(value, -2147483648.0, 2147483647.0);
}

float ToSingle(double value) {
    if (!(std::fabs(value) < kSingleOverflow)) throw Failure(kOverflow);
    return static_cast<float>(value);
}

}  // namespace base
