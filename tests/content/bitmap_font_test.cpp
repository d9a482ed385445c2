#include "content/bitmap_font.h"
#include "content/texture.h"
#include "image_files.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

namespace {

bool parse(const std::string& xml, FontDescription& d, std::string* error = nullptr) {
    auto root = XmlElement::parse(xml);
    EXPECT_TRUE(root) << xml;
    return root && parseFontDescription(*root, d, error);
}

TEST(FontDescription, GlyphCoordinatesFromBounds) {
    FontDescription d;
    ASSERT_TRUE(parse(R"(<alphabet bitmap="komika.png">
        <char letter="A" bounds="32;64;16;32"/>
        <c letter="AB" bounds=" 1;2;3;4"/>
        <c letter="&#233;" bounds="0;0;8;8"/>
      </alphabet>)",
                      d));
    EXPECT_EQ(d.bitmap, "komika.png");
    std::array<Glyph, 256> glyphs;
    fillGlyphs(d, 256, 128, nullptr, glyphs);
    // The later "AB" entry replaced "A".
    const Glyph& a = glyphs['A'];
    EXPECT_EQ(a.x, 1);
    EXPECT_EQ(a.h, 4);
    EXPECT_EQ(glyphs['B'].w, 0);

    FontDescription one;
    ASSERT_TRUE(parse(R"(<alphabet bitmap="k.png"><char letter="A" bounds="32;64;16;32"/></alphabet>)", one));
    fillGlyphs(one, 256, 128, nullptr, glyphs);
    const Glyph& g = glyphs[65];
    const float expected[8] = {0.125f, 0.75f, 0.125f, 0.5f, 0.1875f, 0.75f, 0.1875f, 0.5f};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(g.texCoords[i], expected[i]) << i;
    EXPECT_EQ(g.width, 16);
    EXPECT_EQ(g.height, 32);
    EXPECT_EQ(glyphs[66].width, 0);
}

TEST(FontDescription, WholeFontFailsOnAnyBadPart) {
    FontDescription d;
    std::string error;
    EXPECT_FALSE(parse(R"(<font bitmap="k.png"/>)", d, &error));
    EXPECT_FALSE(parse(R"(<alphabet/>)", d, &error));
    EXPECT_FALSE(parse(R"(<alphabet bitmap="k.png"><c letter="A" bounds="1;2;3"/></alphabet>)", d, &error));
    EXPECT_NE(error.find("1;2;3"), std::string::npos);
    // A negative number would wrap through "%u" into a huge rectangle.
    EXPECT_FALSE(parse(R"(<alphabet bitmap="k.png"><c letter="A" bounds="1;2;-3;4"/></alphabet>)", d));
    EXPECT_FALSE(parse(R"(<alphabet bitmap="k.png"><c letter="A" bounds="1;2;3;99999999999"/></alphabet>)", d));
}

TEST(FontWriter, EveryByteCodeComesBack) {
    FontDescription d;
    d.bitmap = "komika_title_32.png";
    for (int code = 0; code < 256; ++code)
        d.entries.push_back({static_cast<std::uint8_t>(code), code, 2 * code, 10, 12});
    const std::string xml = writeFontDescription(d);
    FontDescription back;
    std::string error;
    ASSERT_TRUE(parse(xml, back, &error)) << error;
    EXPECT_EQ(back.bitmap, d.bitmap);
    ASSERT_EQ(back.entries.size(), 256u);
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(back.entries[code].code, code);
        EXPECT_EQ(back.entries[code].y, 2 * code);
    }
}

using BitmapFontGl = murmur::test::GlTest;

TEST_F(BitmapFontGl, LoadFontReadsThePictureBesideTheFile) {
    murmur::test::ScratchDir dir;
    murmur::test::writeRgbPng(dir.file("font.png"), 256, 128, std::vector<std::uint8_t>(256 * 128 * 3, 200));
    FontDescription d;
    d.bitmap = "font.png";
    d.entries.push_back({'A', 32, 64, 16, 32});
    d.entries.push_back({233, 0, 0, 8, 8});
    ASSERT_TRUE(saveFontDescription(d, dir.file("font.xml")));
    auto font = loadFont(dir.file("font.xml"), nullptr);
    ASSERT_TRUE(font);
    ASSERT_TRUE(font->bitmap);
    EXPECT_EQ(font->bitmap->width, 256);
    EXPECT_EQ(font->glyphs['A'].texture, font->bitmap.get());
    EXPECT_EQ(font->glyphs['A'].texCoords[1], 0.75f);
    EXPECT_EQ(font->glyphs[233].w, 8);
    EXPECT_EQ(font->glyphs['B'].texture, nullptr);

    // A missing or damaged picture, a wrong root or a file that is not XML
    // fails the whole font, with a reason that names the part at fault.
    std::string reason;
    d.bitmap = "nothere.png";
    ASSERT_TRUE(saveFontDescription(d, dir.file("nopic.xml")));
    EXPECT_EQ(loadFont(dir.file("nopic.xml"), nullptr, &reason), nullptr);
    EXPECT_EQ(reason, "its bitmap " + dir.file("nothere.png") + " cannot be loaded");
    murmur::test::writeBytes(dir.file("broken.png"), {0x89, 'P', 'N', 'G'});
    d.bitmap = "broken.png";
    ASSERT_TRUE(saveFontDescription(d, dir.file("broken.xml")));
    EXPECT_EQ(loadFont(dir.file("broken.xml"), nullptr, &reason), nullptr);
    EXPECT_EQ(reason, "its bitmap " + dir.file("broken.png") + " cannot be loaded");
    murmur::test::writeBytes(dir.file("root.xml"),
                             {'<', 'f', ' ', 'b', 'i', 't', 'm', 'a', 'p', '=', '"', 'f', 'o', 'n', 't', '.', 'p',
                              'n', 'g', '"', '/', '>'});
    EXPECT_EQ(loadFont(dir.file("root.xml"), nullptr, &reason), nullptr);
    EXPECT_NE(reason.find("alphabet"), std::string::npos) << reason;
    murmur::test::writeBytes(dir.file("empty.xml"), {});
    EXPECT_EQ(loadFont(dir.file("empty.xml"), nullptr, &reason), nullptr);
    EXPECT_EQ(reason, "it cannot be read as XML");
}

}  // namespace
