#pragma once
// The materials of the world: what each one draws with (textures, tile size,
// colours) and the material files written from them. A material whose name
// begins with "glow" glows and never takes a light map; so does one that is
// see-through. On a light-mapped mesh every other material needs a diffuse
// texture (the engine has no program for a light map without one).
#include "tools/model/model.h"

#include "math/vec.h"

#include <string>
#include <vector>

namespace content {
class Staging;
}

namespace world {

struct MaterialSpec {
    std::string name;
    std::string diffuse;  // texture names (file names without extension), may be empty
    std::string normal;
    float tile = 100.0f;  // centimetres per repeat of the diffuse texture
    sm::Vec3 colour{0.6f, 0.6f, 0.6f};
    sm::Vec3 specular{0.25f, 0.25f, 0.25f};
    float glossiness = 0.25f;
    float specularLevel = 0.5f;
    float opacity = 1.0f;

    bool glows() const { return name.size() >= 4 && name.compare(0, 4, "glow") == 0; }
    bool seeThrough() const { return opacity < 1.0f; }
    bool takesLightmap() const { return !glows() && !seeThrough(); }
};

const std::vector<MaterialSpec>& materialTable();
const MaterialSpec* findMaterial(const std::string& name);
// What a material needs on a mesh that is (or is not) light-mapped; refuses
// materials it does not know and ones no program could draw there.
model::SurfaceLookup surfaceLookup(bool lightmapped);
// Whether the material's triangles join the mesh's light-map atlas.
bool joinsLightmap(const std::string& material);
// materials/NAME.mat for every material of the table.
void writeMaterials(content::Staging& staging);

} // namespace world
