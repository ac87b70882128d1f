#pragma once
// The one failure type of the program. A platform operation or a conversion that fails throws it;
// its description is what the user sees in the start-up failure message.
#include <stdexcept>
#include <string>

namespace base {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& description) : std::runtime_error(description) {}
    std::string Description() const { return what(); }
};

// Description of a numeric overflow, as the classic runtime words it.
inline constexpr const char* kOverflow = "Overflow";

}  // namespace base
