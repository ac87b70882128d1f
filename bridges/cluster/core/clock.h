#pragma once
// The clock of the cluster bridge's logic: every part that keeps time is given the time, so that
// tests run it on a simulated clock.
#include <chrono>

namespace cluster {

using Clock = std::chrono::steady_clock;

}  // namespace cluster
