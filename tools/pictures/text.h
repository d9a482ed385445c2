#pragma once
// Text rendered with FreeType from a font file (TrueType or OpenType).
#include "tools/pictures/mask.h"

#include <memory>
#include <string>

namespace pictures {

// Decodes UTF-8; a malformed byte is taken as a Latin-1 character.
std::u32string fromUtf8(const std::string& text);

class FontFace {
public:
    // Null on failure, with `error` naming the file and the problem.
    static std::unique_ptr<FontFace> open(const std::string& path, std::string& error);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    bool setPixelSize(int pixels);
    int pixelSize() const { return pixelSize_; }
    // Line metrics at the current size, in whole pixels.
    int ascender() const;  // above the baseline
    int descender() const; // below the baseline (positive)
    int lineHeight() const;

    struct Glyph {
        int width = 0, rows = 0; // bitmap size
        int left = 0, top = 0;   // bitmap offset from the pen: right, and up from the baseline
        int advance = 0;         // pen advance in whole pixels
        Mask coverage;
    };
    // False when the font has no glyph for the character.
    bool hasGlyph(char32_t code) const;
    bool renderGlyph(char32_t code, Glyph& glyph);
    int kerning(char32_t left, char32_t right) const;

    // Width in pixels of one line of text, with `tracking` pixels added between letters.
    int measure(const std::u32string& text, int tracking = 0);
    // One line of text as a mask sized to the line (ascender to descender,
    // pen start to end) plus `border` pixels on every side; the baseline lies
    // `border + ascender()` pixels from the top.
    Mask renderLine(const std::u32string& text, int border, int tracking = 0);

private:
    FontFace() = default;
    struct State;
    std::unique_ptr<State> state_;
    int pixelSize_ = 0;
};

} // namespace pictures
