#pragma once
// The way of a live spot from the node to the host's spot item: the filters (skimmer, bands,
// modes), heading and distance, the duplicate check, and a queue that publishes at Vantro32's
// pace, oldest first, and lets a spot go once it has waited longer than the maximum age. Every
// spot that is not published is counted under its reason. Not thread-safe: one caller at a time.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "bridges/cluster/core/bridge_settings.h"
#include "bridges/cluster/core/call_country.h"
#include "bridges/cluster/core/clock.h"
#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/country_table.h"
#include "bridges/cluster/core/recent_spots.h"

namespace cluster {

struct RelayCounts {
    std::uint64_t received = 0;  // live spots from the node
    std::uint64_t published = 0;
    std::uint64_t filtered = 0;  // by the skimmer, spotter continent, band or mode settings
    std::uint64_t duplicates = 0;
    std::uint64_t tooOld = 0;      // let go unpublished, see SpotRelay
    std::uint64_t noCountry = 0;   // no heading: no country, /MM, /AM
    std::uint64_t backlog = 0;     // older spots the node sent again: never published
    std::uint64_t unreadable = 0;  // "DX de" lines that could not be read as spots

    friend bool operator==(const RelayCounts&, const RelayCounts&) = default;
};

// "received 120, published 80, filtered 10, duplicates 20, too old 5, no country 5, backlog 30,
// unreadable 0"
std::string CountsText(const RelayCounts& counts);

// A spot due for publishing: the host's line, and what the console says of it.
struct Outgoing {
    std::string hostLine;
    std::string text;
};

class SpotRelay {
  public:
    // Vantro32 lists a line every 500 ms; a little slower, so that its intake never falls behind
    // however its timer and ours drift.
    static constexpr Clock::duration kPublishInterval = std::chrono::milliseconds(550);

    // The table must outlive the relay.
    SpotRelay(const BridgeSettings& settings, const CountryTable& table);

    void Receive(const Spot& spot, Clock::time_point now);
    void CountBacklog() { ++counts_.backlog; }
    void CountUnreadable() { ++counts_.unreadable; }

    // The oldest waiting spot, once kPublishInterval has passed since the last one; nothing
    // otherwise. Lets the stale ones go first.
    std::optional<Outgoing> Next(Clock::time_point now);
    // Lets go every spot that has waited longer than the maximum age (when nobody takes them).
    void LetGoStale(Clock::time_point now);

    const RelayCounts& Counts() const { return counts_; }
    std::size_t Waiting() const { return queue_.size(); }
    // At most this many spots wait: one further back could not be published within the maximum
    // age at this pace, so the oldest is let go for a new one (and counted too old).
    std::size_t Capacity() const { return capacity_; }

  private:
    struct Queued {
        Outgoing out;
        std::string key;  // of the duplicate check
        Clock::time_point received;
    };

    bool Filtered(const Spot& spot, const CallLookup& dx) const;
    void LetGoOldest();

    const BridgeSettings& settings_;
    const CountryTable& table_;
    RecentSpots recent_;
    std::size_t capacity_;
    std::deque<Queued> queue_;
    std::optional<Clock::time_point> lastPublished_;
    RelayCounts counts_;
};

}  // namespace cluster
