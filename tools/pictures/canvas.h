#pragma once
// Pictures are composed in floating point (RGBA, 0..1, straight alpha) and
// quantised to 8-bit images only when written.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictures {

struct Color {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

Color rgb(float r, float g, float b, float a = 1.0f);
// 0xRRGGBB
Color hex(uint32_t rgb, float a = 1.0f);

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Color fill = Color{0, 0, 0, 0});

    int width() const { return width_; }
    int height() const { return height_; }
    Color& at(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const Color& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    // Coordinates wrap around the edges (for tileable work).
    const Color& wrapped(int x, int y) const;

    // Composites colour c over the pixel with weight `coverage` (0..1).
    void blendOver(int x, int y, Color c, float coverage = 1.0f);
    void fill(Color c);

private:
    int width_ = 0, height_ = 0;
    std::vector<Color> pixels_;
};

// An 8-bit picture: rows top to bottom, tightly packed, 1, 3 or 4 channels.
struct Image {
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> pixels;
};

// Quantises with rounding and clamping; channels 1 (grey from red), 3 or 4.
Image toImage(const Canvas& canvas, int channels);
void flipRows(Image& image);

} // namespace pictures
