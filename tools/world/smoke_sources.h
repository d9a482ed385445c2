#pragma once
// "smoke_sources": one mesh per steam vent or chimney. The first three
// vertices of each mesh's first submesh span the emitting parallelogram
// (corner, corner + edge1, corner + edge2; edge1 x edge2 points where the
// steam leaves), and nine constant properties set the emitter.
#include "math/vec.h"

#include <string>
#include <vector>

namespace content {
class Staging;
}

namespace world {

struct SmokeSource {
    std::string name;
    sm::Vec3 corner, edge1, edge2;
    int particlesPerSecond;
    float lifeMin, lifeMax;
    float sizeStart, sizeEnd;  // tenths of the world size (the show multiplies by 10)
    float opacityStart, opacityEnd;
    float speedStart, speedEnd;
};

const std::vector<SmokeSource>& smokeSources();
void writeSmokeSources(content::Staging& staging);

} // namespace world
