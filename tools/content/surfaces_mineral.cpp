// Concrete floor, wired glass and rubber matting.
#include "tools/content/surfaces.h"

#include "tools/pictures/blend.h"
#include "tools/pictures/noise.h"

#include <cmath>

namespace content {

using namespace pictures;

Surface concreteFloor()
{
    const int n = 1024;
    Surface s{"concrete_floor", Canvas(n, n), HeightField(n, n), 6.0f};
    float inv = 1.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) * inv, v = static_cast<float>(y) * inv;
            float broad = fbm(u * 4, v * 4, 101, 6, 4);
            float fine = fbm(u * 64, v * 64, 102, 3, 64);
            Cell grit = cellular(u * 96, v * 96, 103, 96);
            Cell crack = cellular(u * 3, v * 3, 104, 3);
            float crackLine = 1.0f - smoothstep(0.0f, 0.025f, crack.f2 - crack.f1);
            crackLine *= smoothstep(0.15f, 0.4f, fbm(u * 6, v * 6, 105, 4, 6)); // cracks come and go
            float pit = 1.0f - smoothstep(0.08f, 0.16f, grit.f1);
            pit *= hashUnit(grit.id) > 0.93f ? 1.0f : 0.0f;
            // Saw cuts across the middle: the floor reads as cast slabs.
            float ex = std::fabs(static_cast<float>(x) + 0.5f - n * 0.5f), ey = std::fabs(static_cast<float>(y) + 0.5f - n * 0.5f);
            float joint = 1.0f - smoothstep(1.5f, 4.0f, std::fmin(ex, ey));

            float h = 0.35f * broad + 0.08f * fine - 0.5f * pit - 0.6f * crackLine - 1.2f * joint;
            s.height.at(x, y) = h;

            float stain = smoothstep(0.1f, 0.5f, fbm(u * 3 + 5, v * 3, 106, 5, 3));
            float mottle = fbm(u * 16, v * 16, 107, 3, 16);
            float tone = 0.52f + 0.08f * broad + 0.04f * fine + 0.035f * mottle;
            Color c = Color{tone, tone * 0.98f, tone * 0.94f, 1.0f};
            // Aggregate: small light and dark stones.
            float stone = 1.0f - smoothstep(0.12f, 0.32f, grit.f1 + 0.12f * fine);
            float stoneTone = hashUnit(grit.id * 7u + 1u);
            if (stoneTone > 0.7f) c = mix(c, Color{0.66f, 0.64f, 0.6f, 1}, 0.22f * stone);
            else if (stoneTone < 0.15f) c = mix(c, Color{0.34f, 0.33f, 0.32f, 1}, 0.2f * stone);
            c = mix(c, Color{0.24f, 0.22f, 0.2f, 1}, 0.55f * stain); // oil and water marks
            c = mix(c, Color{0.22f, 0.21f, 0.2f, 1}, 0.45f * pit + 0.7f * crackLine);
            c = mix(c, Color{0.2f, 0.19f, 0.18f, 1}, 0.8f * joint);
            s.diffuse.at(x, y) = c;
        }
    return s;
}

Surface glass()
{
    const int n = 512;
    const int mesh = 32; // wire spacing in pixels; 16 wires per tile
    Surface s{"glass", Canvas(n, n), HeightField(n, n), 3.0f};
    float inv = 1.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) * inv, v = static_cast<float>(y) * inv;
            // Rolled glass is never quite flat.
            float wave = fbm(u * 3, v * 3, 201, 3, 3);
            float mx = std::fabs(static_cast<float>((x + mesh / 2) % mesh) - mesh / 2 + 0.5f);
            float my = std::fabs(static_cast<float>((y + mesh / 2) % mesh) - mesh / 2 + 0.5f);
            float wire = 1.0f - smoothstep(0.4f, 1.2f, std::fmin(mx, my));
            s.height.at(x, y) = 0.6f * wave + 0.5f * wire;

            float grime = smoothstep(0.0f, 0.6f, fbm(u * 4, v * 4, 202, 5, 4));
            float smudge = smoothstep(0.3f, 0.7f, 0.5f + 0.5f * fbm(u * 12, v * 6, 203, 3, 12));
            Color c = hex(0xb8d0d6);
            c = mix(c, hex(0x8a9a88), 0.35f * grime + 0.1f * smudge);
            c = mix(c, hex(0x6f777a), 0.5f * wire);
            s.diffuse.at(x, y) = c;
        }
    return s;
}

Surface rubber()
{
    const int n = 512;
    const int pitch = 32; // one raised coin every 32 pixels
    Surface s{"rubber", Canvas(n, n), HeightField(n, n), 5.0f};
    float inv = 1.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) * inv, v = static_cast<float>(y) * inv;
            float cx = static_cast<float>(x % pitch) + 0.5f - pitch * 0.5f;
            float cy = static_cast<float>(y % pitch) + 0.5f - pitch * 0.5f;
            float r = std::sqrt(cx * cx + cy * cy);
            // Coin studs with a rounded shoulder.
            float stud = 1.0f - smoothstep(9.0f, 11.0f, r);
            float grain = fbm(u * 128, v * 128, 301, 2, 128);
            float wear = 0.5f + 0.5f * fbm(u * 4, v * 4, 302, 4, 4);
            s.height.at(x, y) = stud * (1.0f - 0.15f * wear) + 0.03f * grain;

            float dust = smoothstep(0.4f, 0.8f, wear) * (1.0f - stud);
            // Studs are a touch lighter on top and ringed by a dark groove.
            float groove = smoothstep(8.0f, 10.5f, r) * (1.0f - smoothstep(10.5f, 14.0f, r));
            float tone = 0.19f + 0.025f * grain + 0.05f * stud * (0.6f + 0.4f * wear) - 0.06f * groove;
            Color c{tone, tone, tone * 1.04f, 1};
            c = mix(c, hex(0x7a7064), 0.3f * dust);
            s.diffuse.at(x, y) = c;
        }
    return s;
}

} // namespace content
