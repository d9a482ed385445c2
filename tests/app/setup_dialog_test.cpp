#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/dialog_picture.h"
#include "app/display_modes.h"
#include "content/image.h"

namespace {

TEST(ModeListTest, TextSortAndScan) {
    EXPECT_EQ(modeText({1280, 1024, 32, 75}), "1280x1024x32bpp 75Hz");
    EXPECT_EQ(modeText({1024, 768, 24, 0}), "1024x768x24bpp 0Hz");

    std::vector<std::string> texts = {"640x480x32bpp 60Hz", "800x600x16bpp 85Hz", "1024x768x32bpp 60Hz",
                                      "640x480x32bpp 60Hz", "1024x768x32bpp 75Hz", "1280x1024x32bpp 60Hz"};
    sortModeTexts(texts);
    EXPECT_EQ(texts, (std::vector<std::string>{"1024x768x32bpp 60Hz", "1024x768x32bpp 75Hz", "1280x1024x32bpp 60Hz",
                                               "640x480x32bpp 60Hz", "640x480x32bpp 60Hz", "800x600x16bpp 85Hz"}))
        << "strings, not numbers; duplicates stay";
    std::vector<std::string> cased = {"b", "B2", "A", "a1", "_"};
    sortModeTexts(cased);
    EXPECT_EQ(cased, (std::vector<std::string>{"_", "A", "a1", "b", "B2"})) << "case does not count";

    DisplayMode mode;
    ASSERT_TRUE(scanModeText("800x600x16bpp 85Hz", mode));
    EXPECT_EQ(mode.width, 800);
    EXPECT_EQ(mode.height, 600);
    EXPECT_EQ(mode.bitsPerPixel, 16);
    EXPECT_EQ(mode.refreshRate, 85);
    for (const DisplayMode& m : {DisplayMode{1920, 1080, 24, 144}, DisplayMode{1024, 768, 24, 0}}) {
        ASSERT_TRUE(scanModeText(modeText(m).c_str(), mode));
        EXPECT_EQ(modeText(mode), modeText(m));
    }
    const DisplayMode before = mode;
    EXPECT_FALSE(scanModeText("", mode));
    EXPECT_FALSE(scanModeText("800x600", mode));
    EXPECT_EQ(modeText(mode), modeText(before)) << "a failed scan changes nothing";
}

TEST(ModeListTest, CurrentModeIsPreselected) {
    const std::vector<DisplayMode> modes = {{800, 600, 32, 60}, {1024, 768, 32, 60}, {1024, 768, 32, 75},
                                            {1024, 768, 32, 60}, {640, 480, 32, 60}};
    const DisplayMode current{1024, 768, 32, 75};
    const ModeList list = buildModeList(modes, &current);
    ASSERT_EQ(list.texts.size(), modes.size());
    ASSERT_GE(list.selected, 0);
    EXPECT_EQ(list.texts[list.selected], "1024x768x32bpp 75Hz");

    // Searching starts after the first entry: of two equal entries at the
    // top the second is chosen, and a first entry is found by wrapping round.
    const DisplayMode twice{1024, 768, 32, 60};
    EXPECT_EQ(buildModeList(modes, &twice).selected, 1);
    EXPECT_EQ(findModeText({"a", "b", "c"}, "a"), 0);
    EXPECT_EQ(findModeText({"a", "b", "c"}, "c"), 2);

    const DisplayMode absent{1920, 1080, 32, 60};
    EXPECT_EQ(buildModeList(modes, &absent).selected, -1);
    EXPECT_EQ(buildModeList(modes, nullptr).selected, -1);
    EXPECT_EQ(buildModeList({}, &current).selected, -1);
    EXPECT_EQ(findModeText({"1024X768X32BPP 75HZ"}, "1024x768x32bpp 75Hz"), 0) << "the search ignores case";
}

TEST(ModeListTest, StartWithoutASelectionKeepsTheDesktopMode) {
    const DisplayMode desktop{1920, 1080, 24, 60};
    DisplayMode mode;
    ASSERT_TRUE(startMode("800x600x16bpp 85Hz", &desktop, mode));
    EXPECT_EQ(modeText(mode), "800x600x16bpp 85Hz");
    ASSERT_TRUE(startMode(nullptr, &desktop, mode));
    EXPECT_EQ(modeText(mode), "1920x1080x24bpp 60Hz");
    ASSERT_TRUE(startMode("", &desktop, mode));
    EXPECT_EQ(modeText(mode), "1920x1080x24bpp 60Hz");
    ASSERT_TRUE(startMode("640x480x32bpp 60Hz", nullptr, mode));
    EXPECT_EQ(modeText(mode), "640x480x32bpp 60Hz");
    EXPECT_FALSE(startMode(nullptr, nullptr, mode)) << "nothing to start in";
}

std::uint32_t wordAt(const std::uint8_t* rows, int stride, int x, int y) {
    std::uint32_t word;
    std::memcpy(&word, rows + y * stride + 4 * x, 4);
    return word & 0xFFFFFFu;
}

// Paints a 344 x 163 dialog whose own background is grey.
std::vector<std::uint32_t> paintedDialog(cairo_surface_t* picture) {
    cairo_surface_t* dialog = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 344, 163);
    cairo_t* cr = cairo_create(dialog);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_paint(cr);
    paintBackground(cr, picture);
    cairo_destroy(cr);
    cairo_surface_flush(dialog);
    std::vector<std::uint32_t> pixels(344 * 163);
    const std::uint8_t* rows = cairo_image_surface_get_data(dialog);
    for (int y = 0; y < 163; ++y)
        for (int x = 0; x < 344; ++x) pixels[y * 344 + x] = wordAt(rows, cairo_image_surface_get_stride(dialog), x, y);
    cairo_surface_destroy(dialog);
    return pixels;
}

TEST(DialogPictureTest, PictureThenBlackBandUnderIt) {
    // A 400 x 155 picture whose file rows are numbered in their red channel.
    Image image;
    image.width = 400;
    image.height = 155;
    image.channels = 3;
    image.pixels.resize(image.rowBytes() * image.height);
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x) {
            std::uint8_t* p = &image.pixels[y * image.rowBytes() + 3 * x];
            p[0] = static_cast<std::uint8_t>(y);
            p[1] = 100;
            p[2] = static_cast<std::uint8_t>(x);
        }
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 155);
    cairo_surface_flush(picture);
    copyRowsBottomUp(image, cairo_image_surface_get_data(picture), cairo_image_surface_get_stride(picture));
    cairo_surface_mark_dirty(picture);

    const std::vector<std::uint32_t> shown = paintedDialog(picture);
    auto at = [&shown](int x, int y) { return shown[y * 344 + x]; };
    EXPECT_EQ(at(0, 0), 0x9A6400u) << "the top shows the file's last row (154)";
    EXPECT_EQ(at(7, 149), 0x056407u) << "row 149 shows file row 5";
    for (int y : {150, 154, 155, 162}) EXPECT_EQ(at(200, y), 0u) << "the band starts at row 150: " << y;
    EXPECT_EQ(at(343, 100), 0x366457u);
    cairo_surface_destroy(picture);

    const std::vector<std::uint32_t> bare = paintedDialog(nullptr);
    EXPECT_EQ(bare[0], 0x808080u) << "without a picture the dialog keeps its own background";
    EXPECT_EQ(bare[149 * 344 + 300], 0x808080u);
    EXPECT_EQ(bare[150 * 344], 0u);
    EXPECT_EQ(bare[162 * 344 + 343], 0u);
}

TEST(DialogPictureTest, MissingOrBrokenPictureGivesNone) {
    namespace fs = std::filesystem;
    const fs::path broken = fs::temp_directory_path() / ("murmur-setup-" + std::to_string(getpid()) + ".jpg");
    std::ofstream(broken, std::ios::binary) << "\xFF\xD8 not really a picture";
    EXPECT_EQ(loadBackground(broken.c_str()), nullptr);
    fs::remove(broken);
    EXPECT_EQ(loadBackground((broken.string() + ".missing.jpg").c_str()), nullptr);
}

}  // namespace
