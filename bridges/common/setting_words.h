#pragma once
// The words settings are written in, read alike by every companion.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bridges {

// "on", "yes", "true", "1" and "off", "no", "false", "0", any case; nothing for anything else.
std::optional<bool> OnOffWord(std::string_view text);
// How a table shows an on/off setting.
inline std::string OnOffText(bool on) {
    return on ? "on" : "off";
}

// A TCP port: digits only, 1 to 65535.
bool IsPortNumber(std::string_view text);

// The items of a list, separated by any of the separators and blanks around them; empty items
// are left out.
std::vector<std::string_view> ListItems(std::string_view text, std::string_view separators);

// A number as short as it can be written and read back the same: "10", "0.5", "0.05".
std::string NumberText(double value);

}  // namespace bridges
