#include "content/bitmap_font.h"

#include "content/file_path.h"
#include "content/text_scan.h"
#include "content/texture.h"

#include <cstdio>

namespace {

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

}  // namespace

bool parseFontDescription(XmlElement& root, FontDescription& out, std::string* error) {
    if (root.name != "alphabet") return fail(error, "root element is \"" + root.name + "\", not \"alphabet\"");
    FontDescription d;
    d.bitmap = root.attribute("bitmap");
    if (d.bitmap.empty()) return fail(error, "no \"bitmap\" attribute on the root");
    for (auto& child : root.children) {
        const std::string letter = child->attribute("letter");
        const std::string bounds = child->attribute("bounds");
        std::int32_t v[4];
        if (!scanUnsigneds(bounds, v, 4))
            return fail(error, "entry for letter \"" + letter + "\": bounds \"" + bounds +
                                   "\" are not four numbers x;y;w;h");
        FontEntry e;
        e.code = letter.empty() ? 0 : static_cast<std::uint8_t>(letter[0]);
        e.x = v[0];
        e.y = v[1];
        e.w = v[2];
        e.h = v[3];
        d.entries.push_back(e);
    }
    out = std::move(d);
    return true;
}

void fillGlyphs(const FontDescription& description, int bitmapWidth, int bitmapHeight, Texture* texture,
                std::array<Glyph, 256>& glyphs) {
    glyphs.fill(Glyph{});
    const float W = static_cast<float>(bitmapWidth), H = static_cast<float>(bitmapHeight);
    for (const FontEntry& e : description.entries) {
        Glyph& g = glyphs[e.code];
        g.width = e.w;
        g.height = e.h;
        g.texture = texture;
        g.x = e.x;
        g.y = e.y;
        g.w = e.w;
        g.h = e.h;
        const float x = static_cast<float>(e.x), y = static_cast<float>(e.y);
        const float w = static_cast<float>(e.w), h = static_cast<float>(e.h);
        const float c[8] = {x / W, (y + h) / H, x / W, y / H, (x + w) / W, (y + h) / H, (x + w) / W, y / H};
        for (int i = 0; i < 8; ++i) g.texCoords[i] = c[i];
    }
}

std::unique_ptr<BitmapFont> loadFont(const std::string& path, SpriteRenderer* renderer, std::string* error) {
    const auto fail = [error](std::string reason) -> std::unique_ptr<BitmapFont> {
        if (error) *error = std::move(reason);
        return nullptr;
    };
    auto root = XmlElement::load(path);
    if (!root) return fail("it cannot be read as XML");
    FontDescription d;
    std::string reason;
    if (!parseFontDescription(*root, d, &reason)) return fail(reason);
    const std::string picture = FilePath(path).directory() + d.bitmap;
    std::shared_ptr<Texture> bitmap = loadTextureNearest(picture);
    if (!bitmap) return fail("its bitmap " + picture + " cannot be loaded");
    auto font = std::make_unique<BitmapFont>();
    fillGlyphs(d, bitmap->width, bitmap->height, bitmap.get(), font->glyphs);
    font->renderer = renderer;
    font->bitmap = std::move(bitmap);
    return font;
}

namespace {

// An attribute value in double quotes. Control bytes become character
// references (a raw carriage return would read back as a line feed); bytes
// above 127 stay raw, because the reader takes the letter's first byte and a
// reference would come back as a two-byte UTF-8 sequence.
std::string quoted(const std::string& value) {
    std::string out = "\"";
    for (char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (c < 0x20 || c == 0x7F) out += "&#" + std::to_string(c) + ";";
            else out += ch;
        }
    }
    return out + "\"";
}

}  // namespace

std::string writeFontDescription(const FontDescription& description) {
    std::string xml = "<?xml version=\"1.0\"?>\n<alphabet bitmap=" + quoted(description.bitmap) + ">\n";
    for (const FontEntry& e : description.entries) {
        const std::string letter = e.code == 0 ? std::string() : std::string(1, static_cast<char>(e.code));
        xml += "    <char letter=" + quoted(letter) + " bounds=\"" + std::to_string(e.x) + ";" +
               std::to_string(e.y) + ";" + std::to_string(e.w) + ";" + std::to_string(e.h) + "\"/>\n";
    }
    return xml + "</alphabet>\n";
}

bool saveFontDescription(const FontDescription& description, const std::string& path, std::string* error) {
    const std::string xml = writeFontDescription(description);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return fail(error, "cannot write " + path);
    bool good = std::fwrite(xml.data(), 1, xml.size(), f) == xml.size();
    good = std::fclose(f) == 0 && good;
    return good || fail(error, "cannot write " + path);
}
