#pragma once
// How old a spot is by its own time: spots carry only the hour and minute (UTC) they were
// heard, so their age is read against UTC now across midnight.
#include <chrono>
#include <string>
#include <string_view>

namespace cluster {

// Minutes from the spot's "HHMM" to UTC now, from -720 up to 719: a spot of 2358 is 3 minutes
// old at 0001, and one of 0005 is 10 minutes ahead at 2355 (a clock set wrong somewhere).
int SpotAgeMinutes(std::string_view hhmm, std::chrono::system_clock::time_point utcNow);

// The time as a spot has it, with its "Z": "0002Z".
std::string UtcTimeText(std::chrono::system_clock::time_point utc);

}  // namespace cluster
