// XML element tree on arbitrary text, and the material and font readers on
// whatever tree comes out.
#include "content/bitmap_font.h"
#include "content/material.h"
#include "content/xml_element.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto root = XmlElement::parse(std::string(reinterpret_cast<const char*>(data), size));
    if (!root) return 0;
    root->attributeFloat("Value");
    parseMaterial(*root);
    FontDescription font;
    if (parseFontDescription(*root, font)) {
        std::array<Glyph, 256> glyphs;
        fillGlyphs(font, 256, 128, nullptr, glyphs);
    }
    return 0;
}
