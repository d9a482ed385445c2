#include "tools/content/assets.h"

#include "tools/parallel/parallel_for.h"
#include "tools/content/surfaces.h"
#include "tools/pictures/noise.h"

#include <cmath>
#include <vector>

namespace content {

using namespace pictures;
using std::size_t;

float random01(uint32_t seed, int i) { return hashUnit(hash2(i, 0x5eed, seed)); }

void scratch(HeightField& height, float x0, float y0, float angle, float length, float width, float depth)
{
    float dx = std::cos(angle), dy = std::sin(angle);
    int reach = static_cast<int>(std::ceil(width * 1.5f));
    for (float s = 0.0f; s <= length; s += 0.5f) {
        // Scratches taper at both ends.
        float taper = std::sin(3.14159265f * s / length);
        float cx = x0 + dx * s, cy = y0 + dy * s;
        int ix = static_cast<int>(std::floor(cx)), iy = static_cast<int>(std::floor(cy));
        for (int oy = -reach; oy <= reach; ++oy)
            for (int ox = -reach; ox <= reach; ++ox) {
                float px = static_cast<float>(ix + ox) + 0.5f - cx, py = static_cast<float>(iy + oy) + 0.5f - cy;
                float d2 = (px * px + py * py) / (width * width);
                float k = std::exp(-d2 * 2.0f) * taper;
                int wx = ((ix + ox) % height.width + height.width) % height.width;
                int wy = ((iy + oy) % height.height + height.height) % height.height;
                float& h = height.at(wx, wy);
                float target = depth * k;
                // The deepest (or highest) stamp wins, so overlapping steps do not pile up.
                h = depth < 0.0f ? std::fmin(h, target) : std::fmax(h, target);
            }
    }
}

void writeSurfaceTextures(Staging& staging)
{
    using Maker = Surface (*)();
    const Maker makers[] = {concreteFloor, paintedMetal, brushedSteel, rustyMetal, wood, glass, rubber, posterPaper};
    constexpr int count = static_cast<int>(std::size(makers));
    std::vector<Surface> surfaces(count);
    std::vector<Image> normals(count);
    tools::parallelFor(count, [&](int i) {
        surfaces[static_cast<size_t>(i)] = makers[i]();
        normals[static_cast<size_t>(i)] =
            heightToNormalMap(surfaces[static_cast<size_t>(i)].height, surfaces[static_cast<size_t>(i)].strength);
    });
    for (int i = 0; i < count; ++i) {
        const Surface& s = surfaces[static_cast<size_t>(i)];
        staging.writeJpeg("textures/" + s.name + "_diffuse.jpg", toImage(s.diffuse, 3), 90);
        staging.writePng("textures/" + s.name + "_normal.png", normals[static_cast<size_t>(i)]);
    }
}

} // namespace content
