#pragma once
// The world of the show, authored into the staging tree: the set, the fan,
// the robot and his clips, the props, the credits hand, the smoke sources,
// the camera lists, the materials and the light maps.
namespace content {
class Staging;
}

namespace world {

void writeWorld(content::Staging& staging);

} // namespace world
