#pragma once
// Small text readers the library's parts share (not for the bridge: its own headers are the
// others).
#include <optional>
#include <string_view>

namespace cluster {

// A decimal number with blanks around it, an optional sign and no exponent ("-12.5", "+3",
// " 40.00 "), whose size is at most the limit; nothing for anything else, "nan" included.
std::optional<double> PlainDecimal(std::string_view text, double limit);

}  // namespace cluster
