#include "bridges/cluster/core/call_country.h"

#include <array>
#include <string>

#include "base/text.h"

namespace cluster {

namespace {

// Longer texts are no calls; they are refused before any work.
constexpr std::size_t kLongestCall = 32;
constexpr std::size_t kMostParts = 6;

CallLookup Found(const CallCountry* where) {
    if (!where) return CallLookup{};
    return CallLookup{CallOutcome::Found, *where};
}

// Rule 1: upper case, without the SSID or skimmer mark; empty when the text is not a call.
std::string Normalized(std::string_view call) {
    call = call.substr(0, call.find('-'));
    if (call.empty() || call.size() > kLongestCall || call.front() == '/' || call.back() == '/' ||
        call.find("//") != std::string_view::npos)
        return {};
    std::string upper = base::Upper(call);
    for (const char c : upper)
        if (!base::IsLetterOrDigit(c) && c != '/') return {};
    return upper;
}

// Rule 3: portable, mobile, low power, rover, lighthouse and the licence classes say nothing
// about the place ("R" and "LH" would otherwise be taken for the prefixes of Russia and Norway).
bool IsIgnoredSuffix(std::string_view part) {
    return part == "P" || part == "M" || part == "QRP" || part == "A" || part == "B" ||
           part == "R" || part == "LH";
}

// The United States' block of calls (K, N, W, AA to AL), its territories' included.
bool IsUnitedStatesCall(std::string_view call) {
    const char first = call.empty() ? ' ' : call[0];
    return first == 'K' || first == 'N' || first == 'W' ||
           (first == 'A' && call.size() > 1 && call[1] >= 'A' && call[1] <= 'L');
}

// Rule 5: the call moved to another call area of its own country, looked up by prefix only (an
// exact alias belongs to the real holder of the changed call). The call areas of the United
// States are those of its mainland ("W4"): a territory's own prefix ("KP4", "KL7") is no area.
CallLookup InCallArea(const CountryTable& table, std::string_view call, char area) {
    if (IsUnitedStatesCall(call)) return Found(table.LongestPrefix(std::string{'W', area}));
    std::string moved(call);
    const std::size_t digit = moved.find_last_of("0123456789");
    if (digit != std::string::npos) moved[digit] = area;
    return Found(table.LongestPrefix(moved));
}

// Rule 6: the shorter part is the place the call is used from ("DL/W1ABC", "W1ABC/VP2E"); of
// parts as long as each other, the one after the '/' ("K9HZ/VP2V").
CallLookup OfTwoParts(const CountryTable& table, std::string_view first, std::string_view second) {
    const bool firstIsShorter = first.size() < second.size();
    const std::string_view place = firstIsShorter ? first : second;
    const std::string_view call = firstIsShorter ? second : first;
    if (const CallCountry* where = table.LongestPrefix(place)) return Found(where);
    return Found(table.LongestPrefix(call));
}

}  // namespace

CallLookup LookUpCall(const CountryTable& table, std::string_view text) {
    const std::string call = Normalized(text);
    if (call.empty()) return CallLookup{};

    // Rule 2: the file lists whole calls, "/MM" and "/P" forms included, that break the rules.
    if (const CallCountry* where = table.ExactCall(call)) return Found(where);

    std::array<std::string_view, kMostParts> parts;
    std::size_t count = 0;
    for (std::string_view rest = call; !rest.empty();) {
        if (count == kMostParts) return CallLookup{};
        const std::size_t slash = rest.find('/');
        parts[count++] = rest.substr(0, slash);
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
    }

    std::size_t kept = count;
    while (kept > 1 && IsIgnoredSuffix(parts[kept - 1])) --kept;
    if (kept < count) {
        const std::size_t length = parts[kept - 1].data() + parts[kept - 1].size() - call.data();
        if (const CallCountry* where = table.ExactCall(std::string_view(call).substr(0, length)))
            return Found(where);
    }

    // Rule 4.
    if (kept > 1 && parts[kept - 1] == "MM") return CallLookup{CallOutcome::MaritimeMobile, {}};
    if (kept > 1 && parts[kept - 1] == "AM") return CallLookup{CallOutcome::AeronauticalMobile, {}};

    if (kept > 1 && parts[kept - 1].size() == 1 && base::IsDigit(parts[kept - 1][0])) {
        if (kept == 2) return InCallArea(table, parts[0], parts[1][0]);
        --kept;  // "DL/W1ABC/4": the place given first decides
    }
    if (kept > 1) return OfTwoParts(table, parts[0], parts[1]);
    return Found(table.LongestPrefix(parts[0]));
}

}  // namespace cluster
