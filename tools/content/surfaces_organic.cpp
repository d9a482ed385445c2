// Wooden planks and poster paper.
#include "tools/content/surfaces.h"

#include "tools/pictures/blend.h"
#include "tools/pictures/noise.h"

#include <cmath>

namespace content {

using namespace pictures;

Surface wood()
{
    const int n = 512;
    const int planks = 4;
    const int plankHeight = n / planks;
    Surface s{"wood", Canvas(n, n), HeightField(n, n), 4.0f};
    float inv = 1.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int plank = y / plankHeight;
            float u = static_cast<float>(x) * inv, v = static_cast<float>(y) * inv;
            // Each plank has its own log: ring offset, ring density and an end joint.
            float offset = random01(701, plank) * 40.0f;
            float density = 6.0f + 4.0f * random01(702, plank);
            int jointX = static_cast<int>(random01(703, plank) * static_cast<float>(n));
            float along = fbm(u * 2, v * 8, 704, 4, 2); // grain wanders slowly along the plank
            float local = static_cast<float>(y % plankHeight) / static_cast<float>(plankHeight);
            float ring = (local + offset + 0.16f * along) * density;
            float r = ring - std::floor(ring);
            float late = smoothstep(0.5f, 0.85f, r) * (1.0f - smoothstep(0.88f, 1.0f, r));
            float fibre = valueNoise(u * 16, v * 256, 705, 16);
            float tone = random01(706, plank);

            Color early = mix(hex(0xc08a55), hex(0xa87040), tone);
            Color dark = mix(hex(0x7a4722), hex(0x5e3418), tone);
            Color c = mix(early, dark, late * 0.6f);
            c = scale(c, 0.84f + 0.3f * fibre);

            float seamY = std::fmin(static_cast<float>(y % plankHeight), static_cast<float>(plankHeight - y % plankHeight));
            int dj = std::abs(x - jointX);
            float seamX = static_cast<float>(std::min(dj, n - dj));
            float seam = 1.0f - smoothstep(0.5f, 2.0f, std::fmin(seamY, seamX));
            c = mix(c, hex(0x2a160a), 0.85f * seam);
            s.height.at(x, y) = 0.25f * late + 0.1f * fibre - 1.0f * seam;
            s.diffuse.at(x, y) = c;
        }
    return s;
}

Surface posterPaper()
{
    const int n = 512;
    Surface s{"poster_paper", Canvas(n, n), HeightField(n, n), 3.0f};
    // A sheet folded in four, plus a few stray creases from handling.
    HeightField creases(n, n);
    for (int i = 0; i < 7; ++i) {
        float x = random01(807, 4 * i) * n, y = random01(807, 4 * i + 1) * n;
        float angle = random01(807, 4 * i + 2) * 3.14159265f;
        scratch(creases, x, y, angle, (0.3f + 0.5f * random01(807, 4 * i + 3)) * n, 1.2f, 0.6f);
    }
    float inv = 1.0f / static_cast<float>(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = static_cast<float>(x) * inv, v = static_cast<float>(y) * inv;
            float fibres = 0.5f * valueNoise(u * 256, v * 64, 801, 256) + 0.5f * valueNoise(u * 64, v * 256, 802, 64);
            float fx = std::fabs(static_cast<float>(x) + 0.5f - n * 0.5f), fy = std::fabs(static_cast<float>(y) + 0.5f - n * 0.5f);
            float fold = std::fmax(std::exp(-fx * fx / 4.0f), std::exp(-fy * fy / 4.0f));
            float crease = std::fmax(fold, creases.at(x, y));
            float cockle = fbm(u * 3, v * 3, 803, 3, 3); // paper waves a little where it took damp
            float yellow = smoothstep(-0.2f, 0.5f, fbm(u * 2, v * 2, 805, 5, 2));
            Cell fox = cellular(u * 24, v * 24, 806, 24);
            float spot = (1.0f - smoothstep(0.05f, 0.22f, fox.f1)) * (hashUnit(fox.id) > 0.93f ? 1.0f : 0.0f);
            s.height.at(x, y) = 0.08f * fibres + 0.8f * crease + 0.6f * cockle;

            Color c = mix(hex(0xf0ebdf), hex(0xdccda8), 0.55f * yellow);
            c = scale(c, 0.96f + 0.06f * fibres);
            c = mix(c, hex(0xc4a070), 0.45f * spot);
            c = mix(c, scale(c, 0.86f), crease);
            s.diffuse.at(x, y) = c;
        }
    return s;
}

} // namespace content
