#include "tools/content/backdrop.h"

#include "tools/pictures/blend.h"
#include "tools/pictures/noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace content {

using namespace pictures;

void paintBackdrop(Canvas& canvas, const BackdropColors& colors, uint32_t seed, float scale)
{
    float w = static_cast<float>(canvas.width()), h = static_cast<float>(canvas.height());
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            float fx = static_cast<float>(x), fy = static_cast<float>(y);
            float t = fy / h;
            Color c = mix(colors.top, colors.bottom, smoothstep(0.0f, 1.0f, t));
            // Haze: slow fractal clouds, stronger low in the picture.
            float haze = 0.5f + 0.5f * fbm(fx / scale, fy / (scale * 0.6f), seed, 5);
            c = mix(c, colors.haze, clamp01(haze * haze * (0.25f + 0.45f * t)));
            // A light shaft falling from the upper left.
            float across = (fx - 0.22f * w) * 0.8f + fy * 0.6f;
            float along = fy / h;
            float shaft = std::exp(-std::pow((across - 0.18f * w) / (0.11f * w), 2.0f)) * (1.0f - 0.7f * along);
            float dust = 0.75f + 0.25f * fbm(fx / (scale * 0.25f), fy / (scale * 0.25f), seed + 7, 3);
            c = mix(c, colors.light, clamp01(shaft * 0.32f * dust));
            // Grain.
            float grain = (hashUnit(hash2(x, y, seed + 99)) - 0.5f) * 0.035f;
            c.r += grain;
            c.g += grain;
            c.b += grain;
            c.a = 1.0f;
            canvas.at(x, y) = c;
        }
}

Mask fanMask(int size, int blades, float turn)
{
    Mask mask(size, size);
    float half = static_cast<float>(size) * 0.5f;
    float px = 1.0f / half; // one pixel in unit radius
    auto band = [&](float d, float r0, float r1) {
        // Coverage of the ring r0..r1 at distance d, anti-aliased over a pixel.
        return clamp01((d - r0) / px + 0.5f) * clamp01((r1 - d) / px + 0.5f);
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (static_cast<float>(x) + 0.5f - half) / half;
            float v = (static_cast<float>(y) + 0.5f - half) / half;
            float r = std::sqrt(u * u + v * v);
            float a = std::atan2(v, u);
            float cover = band(r, 0.93f, 1.0f);                 // rim
            for (float ring : {0.45f, 0.7f}) cover = std::max(cover, band(r, ring - 0.012f, ring + 0.012f));
            // Guard spokes.
            for (int s = 0; s < 12; ++s) {
                float sa = static_cast<float>(s) * std::numbers::pi_v<float> / 6.0f;
                float dist = std::fabs(-std::sin(sa) * u + std::cos(sa) * v);
                float front = std::cos(sa) * u + std::sin(sa) * v;
                if (front > 0.18f && r < 0.95f) cover = std::max(cover, clamp01((0.012f - dist) / px + 0.5f));
            }
            // Blades: swept petals between the hub and the rim.
            if (r > 0.1f && r < 0.88f) {
                float sector = 2.0f * std::numbers::pi_v<float> / static_cast<float>(blades);
                float local = a - turn - 0.55f * r;
                local = local - sector * std::floor(local / sector + 0.5f);
                float widthAngle = 0.42f * std::sin(std::numbers::pi_v<float> * (r - 0.1f) / 0.78f) + 0.05f;
                float edge = (widthAngle * 0.5f - std::fabs(local)) * r;
                cover = std::max(cover, clamp01(edge / px + 0.5f) * 0.85f);
            }
            cover = std::max(cover, band(r, 0.0f, 0.16f));      // hub
            if (r < 0.05f) cover = std::min(cover, 0.6f);
            mask.at(x, y) = cover;
        }
    return mask;
}

} // namespace content
