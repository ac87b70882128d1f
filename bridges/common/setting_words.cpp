#include "bridges/common/setting_words.h"

#include <charconv>

#include "base/text.h"

namespace bridges {

std::optional<bool> OnOffWord(std::string_view text) {
    const std::string word = base::Upper(text);
    if (word == "ON" || word == "YES" || word == "TRUE" || word == "1") return true;
    if (word == "OFF" || word == "NO" || word == "FALSE" || word == "0") return false;
    return std::nullopt;
}

bool IsPortNumber(std::string_view text) {
    if (text.empty() || text.size() > 5) return false;
    int port = 0;
    for (const char c : text) {
        if (!base::IsDigit(c)) return false;
        port = port * 10 + (c - '0');
    }
    return port >= 1 && port <= 65535;
}

std::vector<std::string_view> ListItems(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> items;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(separators);
        const std::string_view item = base::TrimBlanks(text.substr(0, end));
        if (!item.empty()) items.push_back(item);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return items;
}

std::string NumberText(double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

}  // namespace bridges
