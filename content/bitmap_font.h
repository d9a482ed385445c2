#pragma once

#include "content/xml_element.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Texture;
class SpriteRenderer;

// Where one character lies in the font bitmap. All zero, with a null texture,
// for a character that the font does not define.
struct Glyph {
    std::int32_t width = 0;
    std::int32_t height = 0;
    Texture* texture = nullptr;
    // Corners (u, v) in the sprite quad's order: (x/W, (y+h)/H), (x/W, y/H),
    // ((x+w)/W, (y+h)/H), ((x+w)/W, y/H); v = 0 is the picture's top row.
    float texCoords[8] = {};
    std::int32_t x = 0, y = 0, w = 0, h = 0;
};

// One character of a font file.
struct FontEntry {
    std::uint8_t code = 0;
    std::int32_t x = 0, y = 0, w = 0, h = 0;
};

// The parsed font file, before its picture is loaded.
struct FontDescription {
    std::string bitmap;               // picture file, relative to the font file's directory
    std::vector<FontEntry> entries;  // document order; a later entry for a code wins
};

// A font: 256 glyphs indexed by byte value, sharing one bitmap texture.
class BitmapFont {
public:
    std::array<Glyph, 256> glyphs{};
    SpriteRenderer* renderer = nullptr;  // not owned
    // The bitmap the glyphs point at; the font keeps it alive.
    std::shared_ptr<Texture> bitmap;
};

// Parses the root of a font file: it must be named "alphabet", carry a
// non-empty "bitmap" attribute, and every child must hold "bounds" as four
// unsigned numbers "x;y;w;h". The first byte of "letter" is the character
// code (an empty letter gives 0). Any failure gives false with the reason.
bool parseFontDescription(XmlElement& root, FontDescription& out, std::string* error = nullptr);

// Fills glyphs from the entries for a bitmap of the given size.
void fillGlyphs(const FontDescription& description, int bitmapWidth, int bitmapHeight, Texture* texture,
                std::array<Glyph, 256>& glyphs);

// Loads the font file and its picture (nearest filtering, clamped, not
// flipped; needs a GL context). Null on any failure, with the reason in
// `error` when given.
std::unique_ptr<BitmapFont> loadFont(const std::string& path, SpriteRenderer* renderer,
                                     std::string* error = nullptr);

// The font file for a description: root "alphabet" with the bitmap
// attribute and one "char" element per entry. Letters are the raw byte (code
// 0 as an empty letter).
std::string writeFontDescription(const FontDescription& description);
bool saveFontDescription(const FontDescription& description, const std::string& path, std::string* error = nullptr);
