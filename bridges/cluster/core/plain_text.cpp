#include "bridges/cluster/core/plain_text.h"

#include <charconv>
#include <cmath>

#include "base/text.h"

namespace cluster {

std::optional<double> PlainDecimal(std::string_view text, double limit) {
    text = base::TrimBlanks(text);
    // from_chars takes a '-' but no '+'.
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value) || std::fabs(value) > limit)
        return std::nullopt;
    return value;
}

}  // namespace cluster
