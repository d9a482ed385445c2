#include "tools/pictures/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace pictures {

Color rgb(float r, float g, float b, float a) { return Color{r, g, b, a}; }

Color hex(uint32_t v, float a)
{
    return Color{static_cast<float>((v >> 16) & 0xFF) / 255.0f, static_cast<float>((v >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(v & 0xFF) / 255.0f, a};
}

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill)
{
}

const Color& Canvas::wrapped(int x, int y) const
{
    x %= width_;
    y %= height_;
    if (x < 0) x += width_;
    if (y < 0) y += height_;
    return at(x, y);
}

void Canvas::blendOver(int x, int y, Color c, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    float sa = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (sa <= 0.0f) return;
    Color& d = at(x, y);
    float outA = sa + d.a * (1.0f - sa);
    if (outA <= 0.0f) {
        d = Color{0, 0, 0, 0};
        return;
    }
    float wd = d.a * (1.0f - sa);
    d.r = (c.r * sa + d.r * wd) / outA;
    d.g = (c.g * sa + d.g * wd) / outA;
    d.b = (c.b * sa + d.b * wd) / outA;
    d.a = outA;
}

void Canvas::fill(Color c) { std::fill(pixels_.begin(), pixels_.end(), c); }

namespace {
uint8_t quantise(float v)
{
    float s = std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f;
    return static_cast<uint8_t>(s);
}
} // namespace

Image toImage(const Canvas& canvas, int channels)
{
    Image image;
    image.width = canvas.width();
    image.height = canvas.height();
    image.channels = channels;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height * channels);
    uint8_t* out = image.pixels.data();
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Color& c = canvas.at(x, y);
            if (channels == 1) {
                *out++ = quantise(c.r);
                continue;
            }
            *out++ = quantise(c.r);
            *out++ = quantise(c.g);
            *out++ = quantise(c.b);
            if (channels == 4) *out++ = quantise(c.a);
        }
    }
    return image;
}

void flipRows(Image& image)
{
    size_t row = static_cast<size_t>(image.width) * image.channels;
    std::vector<uint8_t> tmp(row);
    for (int i = 0; i < image.height / 2; ++i) {
        uint8_t* a = image.pixels.data() + row * i;
        uint8_t* b = image.pixels.data() + row * (image.height - 1 - i);
        std::memcpy(tmp.data(), a, row);
        std::memcpy(a, b, row);
        std::memcpy(b, tmp.data(), row);
    }
}

} // namespace pictures
