#pragma once
// The duplicate check: the same DX call on the same band within the window is a duplicate. The
// memory of calls is bounded: past kLimit calls within the window the oldest is forgotten.
#include <cstddef>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>

#include "bridges/cluster/core/clock.h"

namespace cluster {

class RecentSpots {
  public:
    static constexpr std::size_t kLimit = 100000;

    // A window of zero takes no spot for a duplicate.
    explicit RecentSpots(Clock::duration window) : window_(window) {}

    // Whether the key was taken within the window before now; if not, it is taken now.
    bool Duplicate(const std::string& key, Clock::time_point now);
    // A spot taken at `when` was never published: its key may come again.
    void Forget(const std::string& key, Clock::time_point when);
    std::size_t Size() const { return taken_.size(); }

  private:
    void Purge(Clock::time_point now);

    Clock::duration window_;
    std::unordered_map<std::string, Clock::time_point> taken_;
    std::deque<std::pair<Clock::time_point, std::string>> order_;  // oldest first
};

}  // namespace cluster
