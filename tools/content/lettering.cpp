#include "tools/content/lettering.h"

#include <algorithm>
#include <cmath>

namespace content {

using namespace pictures;

InkedLine renderInked(FontFace& face, const std::string& text, int border, int tracking)
{
    InkedLine line;
    line.mask = face.renderLine(fromUtf8(text), border, tracking);
    line.left = line.mask.width;
    line.top = line.mask.height;
    for (int y = 0; y < line.mask.height; ++y)
        for (int x = 0; x < line.mask.width; ++x)
            if (line.mask.at(x, y) > 0.02f) {
                line.left = std::min(line.left, x);
                line.right = std::max(line.right, x + 1);
                line.top = std::min(line.top, y);
                line.bottom = std::max(line.bottom, y + 1);
            }
    if (line.right <= line.left) line.left = line.right = line.top = line.bottom = 0;
    return line;
}

void drawLettering(Canvas& canvas, FontFace& face, const std::string& text, float cx, float cy,
                   const LetteringStyle& style)
{
    int border = static_cast<int>(std::ceil(style.outlineWidth)) + style.shadowBlur * 3 +
                 std::max(std::abs(style.shadowDx), std::abs(style.shadowDy)) + 2;
    InkedLine line = renderInked(face, text, border, style.tracking);
    int ox = static_cast<int>(std::lround(cx - 0.5f * static_cast<float>(line.left + line.right)));
    int oy = static_cast<int>(std::lround(cy - 0.5f * static_cast<float>(line.top + line.bottom)));

    Mask rim = style.outlineWidth > 0.0f ? dilate(line.mask, style.outlineWidth) : line.mask;
    if (style.shadow.a > 0.0f) {
        Mask shadow = blur(shifted(rim, style.shadowDx, style.shadowDy), style.shadowBlur);
        paintMask(canvas, shadow, ox, oy, style.shadow);
    }
    if (style.outlineWidth > 0.0f) paintMask(canvas, rim, ox, oy, style.outline);

    float inkTop = static_cast<float>(oy + line.top), inkHeight = static_cast<float>(line.bottom - line.top);
    paintMask(canvas, line.mask, ox, oy, [&](int, int y) {
        float t = clamp01((static_cast<float>(y) - inkTop) / std::max(1.0f, inkHeight));
        Color c = mix(style.top, style.bottom, t);
        // A soft light band across the upper half, like a glossy sticker.
        float band = smoothstep(0.0f, 0.12f, t) * (1.0f - smoothstep(0.38f, 0.5f, t));
        return mix(c, Color{1, 1, 1, c.a}, style.gloss * band);
    });
}

int fitPixelSize(FontFace& face, const std::string& text, int maxSize, int maxWidth, int maxHeight, int tracking)
{
    int size = maxSize;
    for (; size > 6; size -= 2) {
        face.setPixelSize(size);
        InkedLine line = renderInked(face, text, 0, tracking);
        if (line.right - line.left <= maxWidth && line.bottom - line.top <= maxHeight) break;
    }
    face.setPixelSize(size);
    return size;
}

} // namespace content
