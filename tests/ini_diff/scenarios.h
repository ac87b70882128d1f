#pragma once
#include <vector>

#include "scenario.h"

namespace ini_diff {

// The table: every kind of file and every read and write the program makes, with what they give.
const std::vector<Scenario>& TableScenarios();

// Scenarios drawn at random from odd lines, names, defaults, values and buffer sizes, without
// expectations: the two backends must only agree. The same seed gives the same scenarios.
std::vector<Scenario> RandomScenarios(unsigned seed, int count);

}  // namespace ini_diff
