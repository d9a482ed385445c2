#pragma once
// Coverage masks (0..1 per pixel): lettering, shapes and their outlines,
// shadows and glows, painted onto a canvas with a colour or a shader.
#include "tools/pictures/canvas.h"

#include <functional>
#include <vector>

namespace pictures {

struct Mask {
    Mask() = default;
    Mask(int w, int h) : width(w), height(h), values(static_cast<std::size_t>(w) * h, 0.0f) {}
    float& at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
    // 0 outside the mask.
    float sample(int x, int y) const;

    int width = 0, height = 0;
    std::vector<float> values;
};

// Grows the shape by `radius` pixels with a round brush (anti-aliased edge).
Mask dilate(const Mask& mask, float radius);
// Box blur applied three times (close to a Gaussian of sigma ~ radius).
Mask blur(const Mask& mask, int radius);
// Moves the mask by whole pixels, keeping its size.
Mask shifted(const Mask& mask, int dx, int dy);
// A copy with `border` empty pixels added on every side.
Mask padded(const Mask& mask, int border);

// Composites over the canvas with the mask's top-left corner at (x, y).
void paintMask(Canvas& canvas, const Mask& mask, int x, int y, Color color);
// As above with a colour per canvas pixel.
void paintMask(Canvas& canvas, const Mask& mask, int x, int y, const std::function<Color(int, int)>& shader);

} // namespace pictures
