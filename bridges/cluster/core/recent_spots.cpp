#include "bridges/cluster/core/recent_spots.h"

namespace cluster {

bool RecentSpots::Duplicate(const std::string& key, Clock::time_point now) {
    if (window_ <= Clock::duration::zero()) return false;
    Purge(now);
    if (taken_.contains(key)) return true;
    taken_.emplace(key, now);
    order_.emplace_back(now, key);
    return false;
}

void RecentSpots::Forget(const std::string& key, Clock::time_point when) {
    const auto found = taken_.find(key);
    if (found != taken_.end() && found->second == when) taken_.erase(found);
}

void RecentSpots::Purge(Clock::time_point now) {
    // Entries of forgotten or retaken keys stay in order_ until they reach its front; order_
    // is bounded all the same.
    while (!order_.empty() && (order_.front().first + window_ <= now || order_.size() >= kLimit)) {
        Forget(order_.front().second, order_.front().first);
        order_.pop_front();
    }
}

}  // namespace cluster
