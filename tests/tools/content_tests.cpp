// Reads back every picture, texture and the bitmap font from the archive the
// build authored, and checks what the show relies on.
#include "test_archive.h"

#include "content/bitmap_font.h"
#include "content/xml_element.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

using namespace testing_tools;

namespace fs = std::filesystem;

namespace {

// The archive the build wrote, unpacked once per test process into a folder
// of its own; its files by name (relative to "quellon_data/").
struct Unpacked {
    fs::path root;
    std::map<std::string, std::string> files;
};

const Unpacked& unpacked()
{
    static const Unpacked archive = [] {
        Unpacked out;
        out.root = scratchFolder("unpacked");
        std::vector<ArchiveEntry> entries;
        std::string error;
        if (!readArchive(std::string(MURMUR_BIN_DIR) + "/demodat", entries, error)) {
            ADD_FAILURE() << error;
            return out;
        }
        for (ArchiveEntry& e : entries) {
            fs::path target = out.root / e.name;
            if (e.name.back() == '/') {
                fs::create_directories(target);
                continue;
            }
            writeFile(target.string(), e.bytes);
            out.files[e.name.substr(std::string("quellon_data/").size())] = std::move(e.bytes);
        }
        return out;
    }();
    return archive;
}

const std::map<std::string, std::string>& archiveFiles() { return unpacked().files; }

Image picture(const std::string& name)
{
    Image image;
    if (!archiveFiles().count(name)) {
        ADD_FAILURE() << name << " is missing from the archive";
        return image;
    }
    if (!loadImage((unpacked().root / "quellon_data" / name).string(), image))
        ADD_FAILURE() << name << " does not decode";
    return image;
}

bool powerOfTwo(unsigned v) { return v > 0 && (v & (v - 1)) == 0; }

double meanAbsDifference(const Image& a, const Image& b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.pixels.size(); ++i) sum += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    return sum / static_cast<double>(a.pixels.size()) / 255.0;
}

} // namespace

TEST(AuthoredContent, EveryPictureInTheArchiveDecodes)
{
    int pictures = 0;
    for (const auto& [name, bytes] : archiveFiles()) {
        if (!name.ends_with(".png") && !name.ends_with(".jpg")) continue;
        Image d = picture(name);
        EXPECT_GT(d.width, 0u) << name;
        EXPECT_TRUE(d.channels == 3 || d.channels == 4) << name << " has " << d.channels << " channels";
        ++pictures;
    }
    // loader, end, black, smoke, 12 greetings, 90 dream frames, the font, 8 pairs of surface maps.
    EXPECT_GE(pictures, 1 + 1 + 1 + 1 + 12 + 90 + 1 + 16);
}

TEST(AuthoredContent, InspectorReadsEveryPictureAndTheFont)
{
    std::string command = std::string("'") + MURMUR_BIN_DIR + "/murmur-inspect'";
    int files = 0;
    for (const auto& [name, bytes] : archiveFiles()) {
        if (!name.ends_with(".png") && !name.ends_with(".jpg") && !name.ends_with(".xml")) continue;
        command += " '" + (unpacked().root / "quellon_data" / name).string() + "'";
        ++files;
    }
    ASSERT_GT(files, 100);
    EXPECT_EQ(std::system((command + " > /dev/null").c_str()), 0) << "murmur-inspect reported a file it cannot read";
}

TEST(AuthoredContent, TitlePicturesHaveTheirSizes)
{
    Image loader = picture("loader.jpg");
    EXPECT_EQ(loader.width, 1280u);
    EXPECT_EQ(loader.height, 720u);
    EXPECT_EQ(loader.channels, 3);
    Image end = picture("textures/end.jpg");
    EXPECT_EQ(end.channels, 3);
    EXPECT_GE(end.width, 1024u);
}

TEST(AuthoredContent, SetupPictureIsStoredBottomUp)
{
    Image setup;
    ASSERT_TRUE(loadImage(std::string(MURMUR_BIN_DIR) + "/setup.jpg", setup));
    EXPECT_EQ(setup.width, 400u);
    EXPECT_EQ(setup.height, 155u);
    EXPECT_EQ(setup.channels, 3);
    // The orange title sits above the middle of the picture as shown, so
    // below the middle of the stored rows.
    double rowSum = 0.0, count = 0.0;
    for (int y = 0; y < int(setup.height); ++y)
        for (int x = 0; x < int(setup.width); ++x) {
            const uint8_t* p = pixel(setup, x, y);
            if (p[0] > 200 && p[1] > 90 && p[1] < 200 && p[2] < 90) {
                rowSum += y;
                count += 1.0;
            }
        }
    ASSERT_GT(count, 200.0);
    EXPECT_GT(rowSum / count, setup.height * 0.5);
}

TEST(AuthoredContent, BlackIsSmallOpaqueBlack)
{
    Image black = picture("textures/black.png");
    EXPECT_LE(black.width, 64u);
    EXPECT_GE(black.channels, 3);
    for (size_t i = 0; i < black.pixels.size(); ++i)
        EXPECT_EQ(black.pixels[i], black.channels == 4 && i % 4 == 3 ? 255 : 0);
}

TEST(AuthoredContent, SmokeFadesSmoothlyToNothingAtItsEdge)
{
    Image smoke = picture("textures/smoke.png");
    ASSERT_EQ(smoke.channels, 4);
    EXPECT_TRUE(powerOfTwo(smoke.width) && powerOfTwo(smoke.height));
    int maxStep = 0;
    for (int y = 0; y < int(smoke.height); ++y)
        for (int x = 0; x < int(smoke.width); ++x) {
            int a = pixel(smoke, x, y)[3];
            if (x == 0 || y == 0 || x == int(smoke.width) - 1 || y == int(smoke.height) - 1) {
                EXPECT_EQ(a, 0) << x << "," << y;
            }
            if (x > 0) maxStep = std::max(maxStep, std::abs(a - pixel(smoke, x - 1, y)[3]));
            if (y > 0) maxStep = std::max(maxStep, std::abs(a - pixel(smoke, x, y - 1)[3]));
        }
    EXPECT_GT(pixel(smoke, smoke.width / 2, smoke.height / 2)[3], 128);
    EXPECT_LT(maxStep, 24) << "alpha jumps between neighbouring pixels";
}

TEST(AuthoredContent, GreetingsAreTwelveDistinctCardsWithTransparentSurroundings)
{
    std::set<std::string> distinct;
    for (int i = 0; i < 12; ++i) {
        std::string name = "textures/greetz/greetz" + std::to_string(i) + ".png";
        Image card = picture(name);
        ASSERT_EQ(card.channels, 4) << name;
        EXPECT_TRUE(powerOfTwo(card.width) && powerOfTwo(card.height)) << name;
        int inked = 0;
        for (int y = 0; y < int(card.height); ++y)
            for (int x = 0; x < int(card.width); ++x) {
                int a = pixel(card, x, y)[3];
                if (x < 2 || y < 2 || x >= int(card.width) - 2 || y >= int(card.height) - 2) {
                    EXPECT_EQ(a, 0) << name;
                }
                if (a == 255) ++inked;
            }
        double share = double(inked) / (double(card.width) * card.height);
        EXPECT_GT(share, 0.08) << name << ": the lettering should be large";
        EXPECT_LT(share, 0.8) << name;
        distinct.insert(archiveFiles().at(name));
    }
    EXPECT_EQ(distinct.size(), 12u);
}

TEST(AuthoredContent, DreamSequenceChangesSmoothlyOverNinetyFrames)
{
    EXPECT_EQ(archiveFiles().count("textures/dream/dream0.jpg"), 0u);
    EXPECT_EQ(archiveFiles().count("textures/dream/dream91.jpg"), 0u);
    Image first = picture("textures/dream/dream1.jpg"), previous = first;
    double largestStep = 0.0;
    for (int i = 2; i <= 90; ++i) {
        Image frame = picture("textures/dream/dream" + std::to_string(i) + ".jpg");
        ASSERT_EQ(frame.width, first.width);
        ASSERT_EQ(frame.height, first.height);
        ASSERT_EQ(frame.channels, 3);
        largestStep = std::max(largestStep, meanAbsDifference(previous, frame));
        previous = frame;
    }
    double whole = meanAbsDifference(first, previous);
    EXPECT_GT(whole, 0.05) << "the sequence hardly changes";
    EXPECT_LT(largestStep, whole / 4.0) << "a frame jumps";
}

TEST(AuthoredContent, SurfaceSetsAreTileablePairsOfDiffuseAndNormalMaps)
{
    for (const char* surface : {"concrete_floor", "painted_metal", "brushed_steel", "rusty_metal", "wood", "glass",
                                "rubber", "poster_paper"}) {
        std::string base = std::string("textures/") + surface;
        Image diffuse = picture(base + "_diffuse.jpg");
        Image normal = picture(base + "_normal.png");
        EXPECT_TRUE(diffuse.width == 512u || diffuse.width == 1024u) << surface;
        EXPECT_EQ(diffuse.width, diffuse.height) << surface;
        EXPECT_EQ(normal.width, diffuse.width) << surface;
        EXPECT_EQ(normal.height, diffuse.height) << surface;
        ASSERT_EQ(normal.channels, 3) << surface;
        // Unit normals pointing out of the surface.
        for (size_t i = 0; i < normal.pixels.size(); i += 3 * 97) {
            double x = normal.pixels[i] / 127.5 - 1, y = normal.pixels[i + 1] / 127.5 - 1,
                   z = normal.pixels[i + 2] / 127.5 - 1;
            EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 1.0, 0.03) << surface;
            EXPECT_GT(z, 0.2) << surface;
        }
        // Across the wrap-around seam the picture changes no more than between
        // neighbouring columns (rows) inside it.
        auto seam = [&](const Image& d, bool columns) {
            double inside = 0.0, across = 0.0;
            int n = columns ? d.height : d.width, m = columns ? d.width : d.height;
            for (int k = 0; k < n; ++k)
                for (int c = 0; c < d.channels; ++c) {
                    auto v = [&](int i) { return int(columns ? pixel(d, i, k)[c] : pixel(d, k, i)[c]); };
                    across += std::abs(v(0) - v(m - 1));
                    inside += std::abs(v(m / 2) - v(m / 2 - 1)) + std::abs(v(m / 4) - v(m / 4 - 1));
                }
            return across / (inside / 2.0 + 1e-9);
        };
        EXPECT_LT(seam(diffuse, true), 2.0) << surface << " diffuse left/right seam";
        EXPECT_LT(seam(diffuse, false), 2.0) << surface << " diffuse top/bottom seam";
        EXPECT_LT(seam(normal, true), 2.0) << surface << " normal left/right seam";
        EXPECT_LT(seam(normal, false), 2.0) << surface << " normal top/bottom seam";
    }
}

TEST(AuthoredContent, BitmapFontHoldsEveryCharacterInsideItsPicture)
{
    ASSERT_TRUE(archiveFiles().count("fonts/komika_title_32.xml"));
    auto root = XmlElement::load((unpacked().root / "quellon_data/fonts/komika_title_32.xml").string());
    ASSERT_NE(root, nullptr);
    FontDescription font;
    std::string error;
    ASSERT_TRUE(parseFontDescription(*root, font, &error)) << error;
    Image atlas = picture("fonts/" + font.bitmap);
    ASSERT_EQ(atlas.channels, 4);

    struct Rect {
        unsigned x, y, w, h;
    };
    std::map<int, Rect> glyphs;
    for (const FontEntry& e : font.entries) {
        Rect r{unsigned(e.x), unsigned(e.y), unsigned(e.w), unsigned(e.h)};
        EXPECT_TRUE(glyphs.emplace(e.code, r).second) << "character " << int(e.code) << " appears twice";
    }
    std::vector<int> wanted;
    for (int c = 0x20; c <= 0x7E; ++c) wanted.push_back(c);
    for (int c = 0xC0; c <= 0xFF; ++c)
        if (c != 0xD7 && c != 0xF7) wanted.push_back(c); // the Latin-1 letters
    for (int c : wanted) EXPECT_TRUE(glyphs.count(c)) << "character " << c << " is missing";

    unsigned height = glyphs.count('A') ? glyphs['A'].h : 0;
    EXPECT_GE(height, 32u);
    std::vector<uint8_t> owner(static_cast<size_t>(atlas.width) * atlas.height, 0);
    for (const auto& [code, r] : glyphs) {
        EXPECT_LE(r.x + r.w, unsigned(atlas.width)) << code;
        EXPECT_LE(r.y + r.h, unsigned(atlas.height)) << code;
        EXPECT_EQ(r.h, height) << "every cell is one line high: " << code;
        if (r.x + r.w > unsigned(atlas.width) || r.y + r.h > unsigned(atlas.height)) continue;
        int ink = 0;
        for (unsigned y = r.y; y < r.y + r.h; ++y)
            for (unsigned x = r.x; x < r.x + r.w; ++x) {
                uint8_t& o = owner[y * atlas.width + x];
                EXPECT_EQ(o, 0) << "cells overlap at " << x << "," << y;
                o = 1;
                if (pixel(atlas, int(x), int(y))[3] > 128) ++ink;
            }
        if (code != ' ' && code != 0xA0) {
            EXPECT_GT(ink, 0) << "character " << code << " is blank";
        }
    }
    // Nothing is drawn outside the cells.
    for (int y = 0; y < int(atlas.height); ++y)
        for (int x = 0; x < int(atlas.width); ++x)
            if (!owner[static_cast<size_t>(y) * atlas.width + x]) {
                ASSERT_EQ(pixel(atlas, x, y)[3], 0) << x << "," << y;
            }
}
