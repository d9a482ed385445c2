#pragma once

#include <string>
#include <vector>

#include "math/vec.h"

class Geometry;
class Mesh;

// One emitting parallelogram of drifting smoke, as marked in the content: a
// triangle's corner and two edges, and the puff's look over its life.
struct SmokeSource {
    std::string meshName;
    sm::Vec3 corner;  // P0
    sm::Vec3 normal;  // normalised edge1 x normalised edge2 (not itself normalised)
    sm::Vec3 edge1;   // P1 - P0
    sm::Vec3 edge2;   // P2 - P0
    float speedStart = 0.0f, speedEnd = 0.0f;
    float sizeStart = 0.0f, sizeEnd = 0.0f;  // the marked sizes x 10
    float opacityStart = 0.0f, opacityEnd = 0.0f;
    unsigned particlesPerSecond = 0;
    float lifeMin = 0.0f, lifeMax = 0.0f;
};

// Reads one mesh: the nine numeric properties ("particles_per_second",
// "life_time_min", "life_time_max", "size_start", "size_end",
// "opacity_start", "opacity_end", "speed_start", "speed_end"; constants or
// curves read at time 0) and the first three vertex positions of its first
// submesh. False, with the reason in `problem`, when something is missing or
// unusable.
bool readSmokeSource(const Mesh& mesh, SmokeSource& source, std::string& problem);

// Every usable mesh of the geometry, in order; each mesh left out adds one
// line to problems (when given) naming the geometry, the mesh and the reason.
std::vector<SmokeSource> readSmokeSources(const Geometry& geometry, const std::string& geometryName,
                                          std::vector<std::string>* problems);
