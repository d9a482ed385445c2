#include "tools/content/assets.h"

#include "tools/parallel/parallel_for.h"
#include "tools/pictures/blend.h"
#include "tools/pictures/noise.h"

#include <cmath>
#include <string>
#include <vector>

namespace content {

using namespace pictures;
using std::size_t;

namespace {

constexpr int kFrames = 90;        // 6 s at 15 frames per second
constexpr float kFrameRate = 15.0f;
constexpr int kWidth = 512;
constexpr int kHeight = 256;

// A slow, warm daydream: clouds folding into themselves (fractal noise whose
// sampling position is itself displaced by noise), drifting and breathing
// over time, coloured through a dusk palette, with a glow that swells in the
// middle of the sequence. Time is a third noise dimension, so neighbouring
// frames differ only a little.
Canvas dreamFrame(int frame)
{
    static const Gradient palette{{0.0f, hex(0x0b0420)}, {0.28f, hex(0x3b1260)}, {0.5f, hex(0xa2338a)},
                                  {0.7f, hex(0xf08a5d)}, {0.86f, hex(0xffd59a)}, {1.0f, hex(0xfff6e0)}};
    float t = static_cast<float>(frame) / kFrameRate; // seconds, 0 .. 6
    float phase = t / 6.0f;
    Canvas canvas(kWidth, kHeight);
    float aspect = static_cast<float>(kWidth) / static_cast<float>(kHeight);
    float swell = std::sin(phase * 3.14159265f);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            float u = (static_cast<float>(x) + 0.5f) / kHeight - 0.5f * aspect;
            float v = (static_cast<float>(y) + 0.5f) / kHeight - 0.5f;
            // Slow rotation and zoom towards the centre.
            float angle = 0.25f * t * 0.35f;
            float zoom = 1.0f - 0.08f * phase;
            float ru = (u * std::cos(angle) - v * std::sin(angle)) * zoom;
            float rv = (u * std::sin(angle) + v * std::cos(angle)) * zoom;
            float px = ru * 2.2f, py = rv * 2.2f, pz = t * 0.22f;
            float wx = fbm3(px + 1.7f, py + 9.2f, pz, 31, 3);
            float wy = fbm3(px + 8.3f, py + 2.8f, pz + 3.1f, 47, 3);
            float n = fbm3(px + 2.4f * wx + 0.15f * t, py + 2.4f * wy - 0.08f * t, pz * 1.3f, 59, 5);
            float value = clamp01(0.5f + 0.9f * n);
            float r = std::sqrt(u * u + v * v);
            float glow = std::exp(-r * r * 5.0f) * (0.25f + 0.25f * swell);
            Color c = palette.at(clamp01(value * 0.9f + glow));
            // Soft edges: the dream fades towards deep violet at the borders.
            float edge = smoothstep(0.95f, 0.3f, r / (0.5f * aspect));
            c = mix(hex(0x12061f), c, 0.35f + 0.65f * edge);
            canvas.at(x, y) = c;
        }
    return canvas;
}

} // namespace

void writeDreamSequence(Staging& staging)
{
    std::vector<Image> frames(kFrames);
    tools::parallelFor(kFrames, [&](int i) { frames[static_cast<size_t>(i)] = toImage(dreamFrame(i), 3); });
    for (int i = 0; i < kFrames; ++i)
        staging.writeJpeg("textures/dream/dream" + std::to_string(i + 1) + ".jpg", frames[static_cast<size_t>(i)], 88);
}

} // namespace content
