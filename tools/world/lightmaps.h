#pragma once
// The light maps of the light-mapped models ("MESHLightingMap" in
// textures/lightmaps/): atlases unwrapped per mesh, baked together against
// the whole set under the hall's lighting.
#include "tools/bake/baker.h"
#include "tools/model/model.h"

#include <map>
#include <string>
#include <vector>

namespace content {
class Staging;
}

namespace world {

// The late-afternoon light of the hall: sun through the high windows, the
// sky, the hanging lamps and the desk lamp.
bake::Lighting hallLighting();

// Unwraps every mesh of the models (each at its own texel size), bakes and
// writes the light maps; prints the figures.
// The light maps come back by mesh name.
std::map<std::string, pictures::Image> bakeAndWriteLightmaps(content::Staging& staging,
                                                             const std::vector<model::Model*>& models);

} // namespace world
