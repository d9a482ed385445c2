#include "tools/pictures/height_field.h"

#include <algorithm>
#include <cmath>

namespace pictures {

float HeightField::wrapped(int x, int y) const
{
    x %= width;
    y %= height;
    if (x < 0) x += width;
    if (y < 0) y += height;
    return at(x, y);
}

Image heightToNormalMap(const HeightField& height, float strength)
{
    Image image;
    image.width = height.width;
    image.height = height.height;
    image.channels = 3;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height * 3);
    uint8_t* out = image.pixels.data();
    auto q = [](float v) { return static_cast<uint8_t>(std::clamp(v * 0.5f + 0.5f, 0.0f, 1.0f) * 255.0f + 0.5f); };
    for (int y = 0; y < height.height; ++y) {
        for (int x = 0; x < height.width; ++x) {
            float du = (height.wrapped(x + 1, y) - height.wrapped(x - 1, y)) * 0.5f * strength;
            // Row y - 1 lies above row y: up the picture is +v.
            float dv = (height.wrapped(x, y - 1) - height.wrapped(x, y + 1)) * 0.5f * strength;
            float nx = -du, ny = -dv, nz = 1.0f;
            float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            *out++ = q(nx / len);
            *out++ = q(ny / len);
            *out++ = q(nz / len);
        }
    }
    return image;
}

} // namespace pictures
