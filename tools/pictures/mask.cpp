#include "tools/pictures/mask.h"

#include <algorithm>
#include <cmath>

namespace pictures {

float Mask::sample(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
    return at(x, y);
}

Mask dilate(const Mask& mask, float radius)
{
    struct Tap {
        int dx, dy;
        float weight;
    };
    std::vector<Tap> taps;
    int r = static_cast<int>(std::ceil(radius + 0.5f));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            float w = std::clamp(radius + 0.5f - d, 0.0f, 1.0f);
            if (w > 0.0f) taps.push_back({dx, dy, w});
        }
    Mask out(mask.width, mask.height);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            float best = 0.0f;
            for (const Tap& t : taps) {
                float v = mask.sample(x + t.dx, y + t.dy) * t.weight;
                if (v > best) {
                    best = v;
                    if (best >= 1.0f) break;
                }
            }
            out.at(x, y) = best;
        }
    return out;
}

namespace {
void boxPass(const std::vector<float>& in, std::vector<float>& out, int count, int stride, int lines, int lineStride,
             int radius)
{
    float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int line = 0; line < lines; ++line) {
        const float* src = in.data() + static_cast<size_t>(line) * lineStride;
        float* dst = out.data() + static_cast<size_t>(line) * lineStride;
        float sum = 0.0f;
        auto get = [&](int i) { return (i < 0 || i >= count) ? 0.0f : src[static_cast<size_t>(i) * stride]; };
        for (int i = -radius; i <= radius; ++i) sum += get(i);
        for (int i = 0; i < count; ++i) {
            dst[static_cast<size_t>(i) * stride] = sum * norm;
            sum += get(i + radius + 1) - get(i - radius);
        }
    }
}
} // namespace

Mask blur(const Mask& mask, int radius)
{
    if (radius <= 0) return mask;
    Mask a = mask, b = mask;
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(a.values, b.values, mask.width, 1, mask.height, mask.width, radius);
        boxPass(b.values, a.values, mask.height, mask.width, mask.width, 1, radius);
    }
    return a;
}

Mask shifted(const Mask& mask, int dx, int dy)
{
    Mask out(mask.width, mask.height);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) out.at(x, y) = mask.sample(x - dx, y - dy);
    return out;
}

Mask padded(const Mask& mask, int border)
{
    Mask out(mask.width + 2 * border, mask.height + 2 * border);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) out.at(x + border, y + border) = mask.at(x, y);
    return out;
}

void paintMask(Canvas& canvas, const Mask& mask, int x, int y, Color color)
{
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx) {
            float v = mask.at(mx, my);
            if (v > 0.0f) canvas.blendOver(x + mx, y + my, color, v);
        }
}

void paintMask(Canvas& canvas, const Mask& mask, int x, int y, const std::function<Color(int, int)>& shader)
{
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx) {
            float v = mask.at(mx, my);
            int cx = x + mx, cy = y + my;
            if (v > 0.0f && cx >= 0 && cy >= 0 && cx < canvas.width() && cy < canvas.height())
                canvas.blendOver(cx, cy, shader(cx, cy), v);
        }
}

} // namespace pictures
