#include "base/bool_words.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace base {

bool IsTrueWord(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper == "YES" || upper == "TRUE" || upper == "1" || upper == "ON";
}

}  // namespace base
