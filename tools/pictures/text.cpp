#include "tools/pictures/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace pictures {

std::u32string fromUtf8(const std::string& text)
{
    std::u32string out;
    size_t i = 0;
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < text.size()) {
        unsigned char c = byte(i);
        size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra > 0 && i + extra < text.size()) {
            char32_t code = c & (0x3F >> extra);
            bool ok = true;
            for (size_t k = 1; ok && k <= extra; ++k) {
                if ((byte(i + k) & 0xC0) != 0x80) ok = false;
                else code = (code << 6) | (byte(i + k) & 0x3F);
            }
            if (ok) {
                out.push_back(code);
                i += extra + 1;
                continue;
            }
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

struct FontFace::State {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

std::unique_ptr<FontFace> FontFace::open(const std::string& path, std::string& error)
{
    std::unique_ptr<FontFace> font(new FontFace());
    font->state_ = std::make_unique<State>();
    if (FT_Init_FreeType(&font->state_->library) != 0) {
        error = "cannot start FreeType";
        return nullptr;
    }
    if (FT_New_Face(font->state_->library, path.c_str(), 0, &font->state_->face) != 0) {
        error = path + ": cannot open the font";
        return nullptr;
    }
    return font;
}

FontFace::~FontFace()
{
    if (!state_) return;
    if (state_->face) FT_Done_Face(state_->face);
    if (state_->library) FT_Done_FreeType(state_->library);
}

bool FontFace::setPixelSize(int pixels)
{
    if (FT_Set_Pixel_Sizes(state_->face, 0, static_cast<FT_UInt>(pixels)) != 0) return false;
    pixelSize_ = pixels;
    return true;
}

int FontFace::ascender() const { return static_cast<int>((state_->face->size->metrics.ascender + 63) >> 6); }

int FontFace::descender() const { return static_cast<int>((-state_->face->size->metrics.descender + 63) >> 6); }

int FontFace::lineHeight() const { return ascender() + descender(); }

bool FontFace::hasGlyph(char32_t code) const { return FT_Get_Char_Index(state_->face, code) != 0; }

bool FontFace::renderGlyph(char32_t code, Glyph& glyph)
{
    FT_UInt index = FT_Get_Char_Index(state_->face, code);
    if (index == 0) return false;
    if (FT_Load_Glyph(state_->face, index, FT_LOAD_DEFAULT) != 0) return false;
    if (FT_Render_Glyph(state_->face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
    FT_GlyphSlot slot = state_->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage = Mask(glyph.width, glyph.rows);
    for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) glyph.coverage.at(x, y) = static_cast<float>(row[x]) / 255.0f;
    }
    return true;
}

int FontFace::kerning(char32_t left, char32_t right) const
{
    if (!FT_HAS_KERNING(state_->face)) return 0;
    FT_Vector delta{};
    FT_Get_Kerning(state_->face, FT_Get_Char_Index(state_->face, left), FT_Get_Char_Index(state_->face, right),
                   FT_KERNING_DEFAULT, &delta);
    return static_cast<int>(delta.x >> 6);
}

int FontFace::measure(const std::u32string& text, int tracking)
{
    int pen = 0, right = 0;
    Glyph glyph;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0) pen += kerning(text[i - 1], text[i]) + tracking;
        if (!renderGlyph(text[i], glyph)) continue;
        right = std::max(right, pen + glyph.left + glyph.width);
        pen += glyph.advance;
        right = std::max(right, pen);
    }
    return right;
}

Mask FontFace::renderLine(const std::u32string& text, int border, int tracking)
{
    int width = measure(text, tracking);
    Mask mask(width + 2 * border, lineHeight() + 2 * border);
    int baseline = border + ascender();
    int pen = border;
    Glyph glyph;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0) pen += kerning(text[i - 1], text[i]) + tracking;
        if (!renderGlyph(text[i], glyph)) continue;
        for (int y = 0; y < glyph.rows; ++y)
            for (int x = 0; x < glyph.width; ++x) {
                int mx = pen + glyph.left + x, my = baseline - glyph.top + y;
                if (mx < 0 || my < 0 || mx >= mask.width || my >= mask.height) continue;
                float& v = mask.at(mx, my);
                v = std::min(1.0f, v + glyph.coverage.at(x, y));
            }
        pen += glyph.advance;
    }
    return mask;
}

} // namespace pictures
