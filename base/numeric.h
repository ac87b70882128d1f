#pragma once
// The numeric value of a text and whole-number conversion, as the program reads numbers
// everywhere: spot fields, the manual heading, azimuth reports and saved window positions.
#include <cstdint>
#include <string_view>

namespace base {

// The numeric value of a text:
// - blanks, tabs and line feeds are skipped wherever they stand;
// - then an optional sign, digits with at most one '.', and an optional exponent (E or D, either
//   case, optional sign, digits) are read as far as they go; the first character that cannot
//   continue the number ends it; a text that does not begin with a number gives 0;
// - "&H" / "&O" (either case) read a hexadecimal / octal whole number: a value up to 16 bits is a
//   16-bit signed value ("&HFFFF" is -1, "&H8000" is -32768), up to 32 bits a 32-bit signed value
//   ("&HFFFFFFFF" is -1, "&H10000" is 65536); the width follows the value, so leading zeros do not
//   widen it ("&H0000FFFF" is -1); a sign before "&" is not part of the number (0);
// - a hexadecimal or octal number too long for 32 bits throws Failure("Overflow");
// - a decimal number beyond the double range gives +/- infinity (and one too small gives 0):
//   callers that convert it to a whole number or a single meet the overflow there.
// Never locale dependent.
double NumericValue(std::string_view text);

// Whole-number conversion: rounds to the nearest integer, halves to the even neighbour; a value
// outside the target's range (or not a number) throws Failure("Overflow").
std::int16_t ToInt16(double value);
std::int32_t ToInt32(double value);

// Single-precision conversion: a finite value beyond the single range, an infinity or a NaN
// throws Failure("Overflow").
float ToSingle(double value);

}  // namespace base
