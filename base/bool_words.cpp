#include "base/bool_words.h"

#include <string>

#include "base/text.h"

namespace base {

bool IsTrueWord(std::string_view text) {
    const std::string upper = Upper(text);
    return upper == "YES" || upper == "TRUE" || upper == "1" || upper == "ON";
}

}  // namespace base
