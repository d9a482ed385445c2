#include "tools/content/assets.h"

#include "tools/pictures/blend.h"
#include "tools/pictures/noise.h"

#include <cmath>

namespace content {

using namespace pictures;

namespace {

// A soft puff of smoke: light grey, billowing, its alpha falling smoothly to
// exactly 0 before the edge of the square, so the sprite never shows a border.
Canvas smokePuff(int size)
{
    Canvas canvas(size, size, Color{0, 0, 0, 0});
    float half = static_cast<float>(size) * 0.5f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (static_cast<float>(x) + 0.5f - half) / half;
            float v = (static_cast<float>(y) + 0.5f - half) / half;
            float r = std::sqrt(u * u + v * v);
            // Billows push the outline in and out a little.
            float wobble = fbm(u * 2.2f + 7.0f, v * 2.2f + 3.0f, 911, 4);
            float radius = 0.82f + 0.14f * wobble;
            float falloff = 1.0f - smoothstep(0.15f * radius, radius, r);
            float billow = 0.55f + 0.45f * clamp01(0.5f + 0.8f * fbm(u * 3.0f, v * 3.0f, 1777, 5));
            float edge = 1.0f - smoothstep(0.8f, 0.97f, r); // forces 0 well inside the border
            float alpha = clamp01(falloff * billow * edge * 1.1f);
            float shade = 0.82f + 0.18f * (0.5f + 0.5f * fbm(u * 4.0f + 11.0f, v * 4.0f, 2203, 4)) - 0.1f * v;
            canvas.at(x, y) = Color{shade, shade, shade * 1.02f, alpha};
        }
    return canvas;
}

} // namespace

void writeEffectTextures(Staging& staging)
{
    staging.writePng("textures/black.png", toImage(Canvas(8, 8, Color{0, 0, 0, 1}), 3));
    staging.writePng("textures/smoke.png", toImage(smokePuff(128), 4));
}

} // namespace content
