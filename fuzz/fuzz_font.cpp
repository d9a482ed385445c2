// Bitmap-font reader on arbitrary text. An accepted description must fill
// glyphs for any bitmap size and write back to a font file that reads back to
// the same bitmap and entries.
#include "content/bitmap_font.h"
#include "fuzz/fuzz_check.h"

#include <string>

namespace {

bool sameEntries(const FontDescription& a, const FontDescription& b) {
    if (a.bitmap != b.bitmap || a.entries.size() != b.entries.size()) return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        const FontEntry& x = a.entries[i];
        const FontEntry& y = b.entries[i];
        if (x.code != y.code || x.x != y.x || x.y != y.y || x.w != y.w || x.h != y.h) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto root = XmlElement::parse(std::string(reinterpret_cast<const char*>(data), size));
    if (!root) return 0;
    FontDescription font;
    std::string error;
    if (!parseFontDescription(*root, font, &error)) {
        require(!error.empty(), "a refused font file comes with the reason");
        return 0;
    }
    std::array<Glyph, 256> glyphs;
    fillGlyphs(font, 256, 128, nullptr, glyphs);
    for (const FontEntry& e : font.entries)
        require(e.x >= 0 && e.y >= 0 && e.w >= 0 && e.h >= 0, "glyph bounds are never negative");
    auto back = XmlElement::parse(writeFontDescription(font));
    require(back != nullptr, "a written font file is well-formed XML");
    FontDescription again;
    require(parseFontDescription(*back, again), "a written font file is accepted");
    require(sameEntries(font, again), "a written font file reads back to the same bitmap and entries");
    return 0;
}
