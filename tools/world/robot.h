#pragma once
// The robot: its bind pose (geometry and skeleton), the sixteen clips of the
// schedule, the riding chairs and the walk cycle "run". This is the stand-in
// performance: a box robot on the shared skeleton that plays every clip at
// its time and place, so the show runs end to end.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace content {
class Staging;
}

namespace world {

// Writes everything and hands back the bytes of each animation file by name
// (for evaluating the performance).
void writeRobot(content::Staging& staging, std::map<std::string, std::vector<std::uint8_t>>& animations);

} // namespace world
