// Arbitrary bytes through the numeric reading and the conversions its callers make.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/failure.h"
#include "base/numeric.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    double value = 0.0;
    try {
        value = base::NumericValue(text);
    } catch (const base::Failure&) {
        return 0;
    }
    try {
        base::ToInt16(value);
    } catch (const base::Failure&) {
    }
    try {
        base::ToInt32(value);
    } catch (const base::Failure&) {
    }
    try {
        base::ToSingle(value);
    } catch (const base::Failure&) {
    }
    return 0;
}
