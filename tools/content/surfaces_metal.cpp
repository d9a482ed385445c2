// Painted metal, brushed steel and rusty metal.
#include "tools/content/surfaces.h"

#include "tools/pictures/blend.h"
#include "tools/pictures/noise.h"

#include <cmath>

namespace content {

using namespace pictures;

namespace {

void addScratches(HeightField& layer, uint32_t seed, int count, float maxLength)
{
    for (int i = 0; i < count; ++i) {
        float x = random01(seed, 4 * i) * static_cast<float>(layer.width);
        float y = random01(seed, 4 * i + 1) * static_cast<float>(layer.height);
        float angle = random01(seed, 4 * i + 2) * 6.2831853f;
        float length = (0.2f + 0.8f * random01(seed, 4 * i + 3)) * maxLength;
        scratch(layer, x, y, angle, length, 0.9f, -1.0f);
    }
}

} // namespace

Surface paintedMetal()
{
    const int n = 512;
    Surface s{"painted_metal", Canvas(n, n), HeightField(n, n), 4.0f};
    HeightField scratches(n, n);
    addScratches(scratches, 401, 28, 70.0f);
    float inv = 1.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) * inv, v = static_cast<float>(y) * inv;
            float chipField = fbm(u * 6, v * 6, 402, 5, 6) + 0.25f * turbulence(u * 24, v * 24, 403, 3, 24);
            float chip = smoothstep(0.36f, 0.4f, chipField);
            float peel = 0.015f * fbm(u * 96, v * 96, 404, 2, 96); // orange-peel paint
            float scr = -scratches.at(x, y);
            s.height.at(x, y) = (1.0f - chip) * 0.6f + peel - 0.3f * scr;

            float fade = 0.5f + 0.5f * fbm(u * 2, v * 2, 405, 4, 2);
            Color paint = mix(hex(0x2f6b55), hex(0x4a8a6e), fade);                      // machine green
            paint = mix(paint, hex(0x6a6a55), 0.2f * smoothstep(0.5f, 0.9f, fade));     // sun-bleached
            Color steel = mix(hex(0x55585c), hex(0x7a7d80), 0.5f + 0.5f * fbm(u * 40, v * 40, 406, 2, 40));
            steel = mix(steel, hex(0x6a3a1c), 0.35f * smoothstep(0.4f, 0.7f, chipField)); // bare metal starts to rust
            float grime = smoothstep(0.0f, 0.6f, fbm(u * 3, v * 3, 408, 5, 3));
            paint = mix(paint, hex(0x2a3a30), 0.3f * grime);
            Color c = mix(paint, steel, chip);
            c = mix(c, hex(0x8a9290), 0.45f * scr * (1.0f - chip)); // scratches show bare metal
            // A dark rim around each chip, where the paint edge lifted.
            float rim = smoothstep(0.3f, 0.36f, chipField) * (1.0f - chip);
            c = mix(c, hex(0x1c2a24), 0.22f * rim);
            s.diffuse.at(x, y) = c;
        }
    return s;
}

Surface brushedSteel()
{
    const int n = 512;
    Surface s{"brushed_steel", Canvas(n, n), HeightField(n, n), 2.0f};
    float inv = 1.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) * inv, v = static_cast<float>(y) * inv;
            // Long horizontal strokes: fine across, long along x.
            float strokes = 0.6f * valueNoise(u * 4, v * 384, 501, 4) + 0.4f * valueNoise(u * 8, v * 192, 502, 8);
            float fine = valueNoise(u * 16, v * 512, 503, 16);
            float cloud = fbm(u * 3, v * 3, 504, 4, 3);
            s.height.at(x, y) = 0.5f * strokes + 0.3f * fine;
            float tone = 0.6f + 0.12f * (strokes - 0.5f) + 0.08f * (fine - 0.5f) + 0.05f * cloud;
            s.diffuse.at(x, y) = Color{tone, tone * 1.01f, tone * 1.04f, 1};
        }
    return s;
}

Surface rustyMetal()
{
    const int n = 512;
    Surface s{"rusty_metal", Canvas(n, n), HeightField(n, n), 6.0f};
    float inv = 1.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) * inv, v = static_cast<float>(y) * inv;
            float field = fbm(u * 4, v * 4, 601, 6, 4) + 0.2f * fbm(u * 32, v * 32, 602, 2, 32);
            float rust = smoothstep(-0.05f, 0.2f, field);
            float rough = 0.6f * turbulence(u * 12, v * 12, 603, 4, 12) + 0.4f * (0.5f + 0.5f * fbm(u * 48, v * 48, 607, 2, 48));
            Cell pits = cellular(u * 40, v * 40, 604, 40);
            float pit = (1.0f - smoothstep(0.05f, 0.2f, pits.f1)) * rust * (hashUnit(pits.id) > 0.5f ? 1.0f : 0.0f);
            s.height.at(x, y) = 0.25f * (1.0f - rust) + rust * (0.35f + 0.35f * rough) - 0.5f * pit;

            float streak = 0.5f + 0.5f * fbm(u * 8, v * 1, 605, 4, 8); // rust runs downwards
            Color steel = mix(hex(0x4a4d50), hex(0x6e6f6c), 0.5f + 0.5f * fbm(u * 24, v * 24, 606, 3, 24));
            Color oxide = mix(hex(0x4a2412), hex(0x8c4620), rough);
            oxide = mix(oxide, hex(0xb06a32), smoothstep(0.65f, 0.95f, rough) * 0.5f);
            oxide = mix(oxide, hex(0x3a1c0e), 0.6f * pit);
            Color c = mix(steel, oxide, rust);
            c = mix(c, hex(0x7a3d1a), 0.25f * streak * (1.0f - rust));
            s.diffuse.at(x, y) = c;
        }
    return s;
}

} // namespace content
