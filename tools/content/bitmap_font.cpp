#include "tools/content/bitmap_font.h"

#include "tools/content/assets.h"
#include "tools/pictures/blend.h"

#include <algorithm>

namespace content {

using namespace pictures;
using std::size_t;

namespace {

constexpr float kRimWidth = 1.6f;
constexpr int kPad = 2; // around each glyph, inside its cell (room for the rim)
constexpr int kGap = 1; // between cells

std::vector<unsigned char> characterSet(FontFace& face)
{
    std::vector<unsigned char> codes;
    for (int c = 0x20; c <= 0x7E; ++c) codes.push_back(static_cast<unsigned char>(c));
    for (int c = 0xA0; c <= 0xFF; ++c)
        if (face.hasGlyph(static_cast<char32_t>(c))) codes.push_back(static_cast<unsigned char>(c));
    return codes;
}

int nextPowerOfTwo(int v)
{
    int p = 1;
    while (p < v) p *= 2;
    return p;
}

} // namespace

FontAtlas buildFontAtlas(FontFace& face, int pixelSize)
{
    face.setPixelSize(pixelSize);
    std::vector<unsigned char> codes = characterSet(face);
    std::vector<FontFace::Glyph> glyphs(codes.size());
    int ascent = face.ascender(), descent = face.descender();
    for (size_t i = 0; i < codes.size(); ++i) {
        face.renderGlyph(codes[i], glyphs[i]);
        ascent = std::max(ascent, glyphs[i].top);
        descent = std::max(descent, glyphs[i].rows - glyphs[i].top);
    }
    int cellHeight = ascent + descent + 2 * kPad;

    // Each cell spans the pen advance, widened where the ink reaches past it.
    struct Layout {
        int inkLeft, width;
    };
    std::vector<Layout> layout(codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        const FontFace::Glyph& g = glyphs[i];
        int left = std::min(0, g.left);
        int right = std::max(g.advance, g.left + g.width);
        layout[i] = {left, right - left + 2 * kPad};
    }

    const int pictureWidth = 512;
    int x = kGap, y = kGap;
    FontAtlas atlas;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (x + layout[i].width + kGap > pictureWidth) {
            x = kGap;
            y += cellHeight + kGap;
        }
        atlas.entries.push_back({codes[i], x, y, layout[i].width, cellHeight});
        x += layout[i].width + kGap;
    }
    int pictureHeight = nextPowerOfTwo(y + cellHeight + kGap);

    Mask ink(pictureWidth, pictureHeight);
    for (size_t i = 0; i < codes.size(); ++i) {
        const FontFace::Glyph& g = glyphs[i];
        const FontEntry& cell = atlas.entries[i];
        int penX = cell.x + kPad - layout[i].inkLeft;
        int baseline = cell.y + kPad + ascent;
        for (int gy = 0; gy < g.rows; ++gy)
            for (int gx = 0; gx < g.width; ++gx) ink.at(penX + g.left + gx, baseline - g.top + gy) = g.coverage.at(gx, gy);
    }
    Mask rim = dilate(ink, kRimWidth);
    // The transparent pixels carry the rim's colour.
    atlas.picture = Canvas(pictureWidth, pictureHeight, Color{0.05f, 0.04f, 0.08f, 0.0f});
    paintMask(atlas.picture, rim, 0, 0, Color{0.05f, 0.04f, 0.08f, 1.0f});
    paintMask(atlas.picture, ink, 0, 0, Color{1, 1, 1, 1});
    return atlas;
}

void writeBitmapFont(Staging& staging, FontFace& face)
{
    FontAtlas atlas = buildFontAtlas(face, 32);
    staging.writePng("fonts/komika_title_32.png", toImage(atlas.picture, 4));
    FontDescription description;
    description.bitmap = "komika_title_32.png";
    description.entries = atlas.entries;
    staging.writeBytes("fonts/komika_title_32.xml", writeFontDescription(description));
}

} // namespace content
