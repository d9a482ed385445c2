#pragma once
// The robot: his bind pose (geometry and skeleton), the sixteen clips of the
// schedule with their riding chairs, and the walk cycle "run".
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace content {
class Staging;
}
namespace model {
struct Model;
}

namespace world {

// Writes everything and hands back the bytes of each animation file by name
// (for evaluating the performance). The set, when given, is what the run
// paths are checked against (they must keep clear of it).
void writeRobot(content::Staging& staging, std::map<std::string, std::vector<std::uint8_t>>& animations,
                const model::Model* set);

} // namespace world
