#pragma once
// A grey height map (any float range) and its conversion to a tangent-space
// normal map.
#include "tools/pictures/canvas.h"

#include <vector>

namespace pictures {

struct HeightField {
    HeightField() = default;
    HeightField(int w, int h) : width(w), height(h), values(static_cast<std::size_t>(w) * h, 0.0f) {}
    float& at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
    float wrapped(int x, int y) const;

    int width = 0, height = 0;
    std::vector<float> values;
};

// Tangent-space normals from central differences that wrap around the edges
// (a tileable height map gives a tileable normal map). `strength` is the
// height change, in pixels, of one unit of height. The tangent points right
// (+u) and the bitangent up the picture (+v, as the picture is drawn), the
// usual OpenGL convention; RGB = normal * 0.5 + 0.5.
Image heightToNormalMap(const HeightField& height, float strength);

} // namespace pictures
