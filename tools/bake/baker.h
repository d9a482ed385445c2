#pragma once
// Light-map baking by ray casting (Embree) against the whole set.
//
// Every light-mapped mesh is laid out by its atlas (model/unwrap.h); each
// texel its triangles touch gets one sample point (the point of the
// triangles nearest to the texel's centre). Light at a sample:
//  - the sun, a directional light with sharp shadows (a few rays over the
//    sun's small disc, so shadow edges soften a little with distance);
//  - lamps, spheres of light sampled over their surface (soft shadows),
//    fading with distance;
//  - one gather of rays over the hemisphere: a ray that leaves the set sees
//    the sky, one that hits a surface brings back that surface's direct
//    light times its colour (one bounce), and the share of rays that hit
//    close by darkens an ambient term (ambient occlusion).
// Samples follow fixed patterns turned per texel by a hash of its position,
// so the result does not depend on threads or scheduling. Texels outside the
// charts are filled from their neighbours (no seams, no dark rims at any
// mip level).
#include "tools/model/model.h"
#include "tools/model/unwrap.h"
#include "tools/pictures/canvas.h"

#include "math/vec.h"

#include <functional>
#include <string>
#include <vector>

namespace bake {

struct Lamp {
    sm::Vec3 position;
    float radius = 10.0f;    // the glowing sphere that is sampled
    sm::Vec3 colour{1, 1, 1};
    float intensity = 1.0f;  // irradiance at 100 cm, facing the lamp
    float range = 1500.0f;   // no light beyond this distance
};

struct Lighting {
    sm::Vec3 sunTravel{0, -1, 0};  // the direction sunlight travels
    sm::Vec3 sunColour{1, 1, 1};
    sm::Vec3 skyZenith{0.3f, 0.4f, 0.6f};   // radiance of the sky straight up
    sm::Vec3 skyHorizon{0.6f, 0.6f, 0.6f};  // and at the horizon
    sm::Vec3 ambient{0.05f, 0.05f, 0.05f};  // fill light, darkened by nearby surfaces
    float occlusionRadius = 120.0f;
    std::vector<Lamp> lamps;
    int sunRays = 4;
    int lampRays = 3;
    int gatherRays = 32;
    float exposure = 1.0f;  // light-map value = 1 - exp(-exposure * light)
};

// What the baker needs to know of a material.
struct SurfaceInfo {
    sm::Vec3 albedo{0.5f, 0.5f, 0.5f};
    bool blocksLight = true;  // glass, glowing bulbs and helpers let light through
};
using SurfaceOf = std::function<SurfaceInfo(const std::string& material)>;

struct Target {
    model::ModelMesh* mesh;
    model::Atlas atlas;
    std::function<bool(const std::string&)> takesLightmap;  // the shapes in the atlas
};

struct Result {
    std::vector<pictures::Image> maps;  // one per target, RGB, rows top to bottom
    long long texels = 0;               // baked texels (inside charts)
    long long rays = 0;
    double seconds = 0.0;
};

// Bakes every target against the targets and the extra blockers together.
Result bakeLightmaps(const std::vector<Target>& targets, const std::vector<const model::ModelMesh*>& blockers,
                     const Lighting& lighting, const SurfaceOf& surfaceOf);

} // namespace bake
