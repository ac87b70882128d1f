#include "tools/soak/spot_ledger.h"

#include <algorithm>
#include <utility>

#include "base/text.h"

namespace soak {

namespace {
constexpr std::size_t kCallColumn = 10;  // the list's call column; the frequency's is as wide
}  // namespace

std::string MinutesText(Ms at) {
    const Ms seconds = at / 1000;
    const std::string s = std::to_string(seconds % 60);
    return std::to_string(seconds / 60) + ":" + (s.size() < 2 ? "0" : "") + s;
}

std::string KeyOfListLine(const std::string& line) {
    if (line.size() < 2 * kCallColumn) return base::TrimSpaces(line);
    return base::TrimSpaces(line.substr(0, kCallColumn)) + " " +
           base::TrimSpaces(line.substr(kCallColumn, kCallColumn));
}

std::string KeyOfPublished(const std::string& text) {
    const std::size_t callEnd = text.find(' ');
    if (callEnd == std::string::npos) return text;
    const std::size_t frequencyEnd = text.find(' ', callEnd + 1);
    return text.substr(0, std::min(callEnd, kCallColumn)) + " " +
           text.substr(callEnd + 1, frequencyEnd - callEnd - 1);
}

void SpotLedger::Published(const std::string& key, Ms at) {
    // The list may be read between the publishing and the reading of the bridge's console.
    spots_[key] = Spot{at, listedUnpublished_.erase(key) > 0};
}

void SpotLedger::Listed(const std::vector<std::string>& keys, int start, Ms at) {
    const std::set<std::string> now(keys.begin(), keys.end());
    if (start == start_) {
        if (at - lastReading_ > longestGap_) longestGap_ = at - lastReading_;
        for (const std::string& key : onList_)
            if (!now.contains(key)) ++trimmed_;
    } else if (start_ >= 0) {
        onListAtKill_ += onList_.size();
    }
    for (const std::string& key : now) {
        const auto spot = spots_.find(key);
        if (spot == spots_.end()) {
            listedUnpublished_.insert(key);
        } else {
            spot->second.listed = true;
        }
    }
    onList_ = now;
    start_ = start;
    lastReading_ = at;
}

void SpotLedger::Killed(Ms at) {
    deaths_.push_back({at, at});
}

void SpotLedger::Restarted(Ms at) {
    if (!deaths_.empty()) deaths_.back().restarted = at;
}

SpotTotals SpotLedger::Totals(Ms end) const {
    SpotTotals totals;
    totals.trimmed = trimmed_;
    totals.onListAtKill = onListAtKill_;
    totals.listedUnpublished = listedUnpublished_.size();
    std::vector<std::pair<Ms, std::string>> lost;
    for (const auto& [key, spot] : spots_) {
        if (spot.published > end) continue;  // counted in a later account
        ++totals.published;
        if (spot.listed) {
            ++totals.listed;
            continue;
        }
        std::string why;
        for (const Death& death : deaths_) {
            if (spot.published + kIntakeMs >= death.killed && spot.published < death.killed) {
                why = "in Vantro32's intake when it was killed at " + MinutesText(death.killed);
                ++totals.inIntakeAtKill;
            } else if (spot.published >= death.killed && spot.published <= death.restarted) {
                why = "published while Vantro32 was dead (killed at " + MinutesText(death.killed) +
                      ")";
                ++totals.publishedToDead;
            }
            if (!why.empty()) break;
        }
        if (why.empty() && spot.published + kOnTheWayMs >= end) {
            why = "still on its way when the soak ended";
            ++totals.onTheWayAtEnd;
        }
        if (why.empty()) {
            why = "LOST";
            ++totals.unexplained;
        }
        lost.emplace_back(spot.published, key + ": " + why);
    }
    std::sort(lost.begin(), lost.end());
    for (const auto& [at, text] : lost) totals.lost.push_back(MinutesText(at) + " " + text);
    return totals;
}

}  // namespace soak
