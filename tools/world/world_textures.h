#pragma once
// The pictures the world needs beyond the surface sets: brick, paint in
// more colours, floor lanes, hazard stripes, posters, a monitor screen and
// the views out of the windows and the doors.
namespace content {
class Staging;
struct Fonts;
}

namespace world {

// Needs the surface textures already in the staging tree (it recolours them).
void writeWorldTextures(content::Staging& staging, content::Fonts& fonts);

} // namespace world
