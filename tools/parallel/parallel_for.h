#pragma once
// Runs independent jobs on the machine's cores. Each job writes only its own
// results, so the output does not depend on the scheduling.
#include <functional>

namespace tools {

void parallelFor(int count, const std::function<void(int)>& job);

} // namespace tools
