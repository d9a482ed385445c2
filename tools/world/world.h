#pragma once
// The world of the show, authored into the staging tree: the set, the fan,
// the robot and his clips, the props, the credits hand, the smoke sources,
// the camera lists, the materials and the light maps.
#include <string>

namespace content {
class Staging;
struct Fonts;
}

namespace world {

// Needs the surface textures in the staging tree already. With a preview
// folder, also renders views of the set there (a quick look without GL).
void writeWorld(content::Staging& staging, content::Fonts& fonts, const std::string& previewFolder = "");

} // namespace world
