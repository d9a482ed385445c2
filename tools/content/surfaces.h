#pragma once
// Tileable surface materials: a diffuse picture and a height field that
// becomes the matching normal map. Every pattern repeats exactly across the
// picture's edges.
#include "tools/pictures/canvas.h"
#include "tools/pictures/height_field.h"

#include <cstdint>
#include <string>

namespace content {

struct Surface {
    std::string name;      // file prefix: NAME_diffuse.jpg, NAME_normal.png
    pictures::Canvas diffuse;
    pictures::HeightField height;
    float strength = 1.0f; // normal-map strength (pixels of relief per height unit)
};

Surface concreteFloor();
Surface paintedMetal();
Surface brushedSteel();
Surface rustyMetal();
Surface wood();
Surface glass();
Surface rubber();
Surface posterPaper();

// Helpers shared by the surfaces.
// Draws a line into a layer of relief that is later added to a height field:
// a groove (negative depth) keeps the deepest value per pixel, a ridge the
// highest. Wraps around the edges; width in pixels.
void scratch(pictures::HeightField& height, float x0, float y0, float angle, float length, float width, float depth);
// Deterministic random number in [0, 1) for index i of stream `seed`.
float random01(uint32_t seed, int i);

} // namespace content
