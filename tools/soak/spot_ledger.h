#pragma once
// The soak's account of the spots: what the cluster bridge published (its console's "published"
// lines) against what Vantro32's list showed, read every few seconds, and the times Vantro32 was
// killed and started again. A spot published and never seen listed is lost, unless the road
// explains it: it was in Vantro32's intake when Vantro32 was killed, or it was published while
// Vantro32 was dead (a bridge that sends spots to a dead client), or it was still on its way when
// the soak ended. A spot published while no client held the link and listed later counts as
// listed: the bridge keeps spots for the next client.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace soak {

using Ms = std::uint64_t;  // milliseconds since the soak began

std::string MinutesText(Ms at);  // "12:05", minutes and seconds

// "CALL FREQUENCY": a station list line's first two columns, or the call and frequency of the
// bridge's "published CALL FREQUENCY ..." line (the call cut to the list's 10 characters).
std::string KeyOfListLine(const std::string& line);
std::string KeyOfPublished(const std::string& text);  // text after "published "

struct SpotTotals {
    std::size_t published = 0;
    std::size_t listed = 0;           // published and seen on the list
    std::size_t trimmed = 0;          // seen, then dropped by the list as it trims its oldest lines
    std::size_t onListAtKill = 0;     // seen, and on the list when Vantro32 was killed
    std::size_t inIntakeAtKill = 0;   // published shortly before a kill, never listed
    std::size_t publishedToDead = 0;  // published while Vantro32 was dead, never listed
    std::size_t onTheWayAtEnd = 0;    // published in the last seconds, not yet listed
    std::size_t unexplained = 0;      // lost without any of these reasons
    std::size_t listedUnpublished = 0;  // on the list, never published: should not happen
    std::vector<std::string> lost;      // each spot not listed: why, when, which
};

class SpotLedger {
  public:
    // A spot Vantro32 may hold received but not yet listed: it lists one line every 500 ms and
    // the bridge publishes one every 550 ms, so a single line at most, with room to spare.
    static constexpr Ms kIntakeMs = 3000;
    static constexpr Ms kOnTheWayMs = 5000;

    void Published(const std::string& key, Ms at);
    // What the list of Vantro32's start number `start` shows at `at`.
    void Listed(const std::vector<std::string>& keys, int start, Ms at);
    void Killed(Ms at);     // Vantro32 killed
    void Restarted(Ms at);  // Vantro32's window is up again
    // The longest time between two readings of the same list: a line lives on it for at least
    // 40 s (80 lines at two a second), so readings closer than that see every line listed.
    Ms LongestReadingGap() const { return longestGap_; }
    // The account of the spots published up to `end`.
    SpotTotals Totals(Ms end) const;

  private:
    struct Spot {
        Ms published;
        bool listed = false;
    };
    struct Death {
        Ms killed;
        Ms restarted;
    };

    std::map<std::string, Spot> spots_;
    std::set<std::string> onList_;  // at the last reading
    std::set<std::string> listedUnpublished_;
    std::vector<Death> deaths_;
    int start_ = -1;
    Ms lastReading_ = 0;
    Ms longestGap_ = 0;
    std::size_t trimmed_ = 0;
    std::size_t onListAtKill_ = 0;
};

}  // namespace soak
