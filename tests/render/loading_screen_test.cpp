#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "material_fixture.h"
#include "render/loading_screen.h"
#include "tools/pictures/image_writers.h"

namespace {

namespace fs = std::filesystem;
using namespace murmur::test;

// A data directory with a loading picture of four coloured quarters and the
// engine's sprite program.
class LoadingScreenTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        dir_ = fs::temp_directory_path() / ("murmur-loading-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "effects");
        for (const char* ext : {".vpr", ".fpr"}) {
            fs::copy_file(effectsDirectory() + "Sprite" + ext, dir_ / "effects" / (std::string("Sprite") + ext));
        }
        // 64 x 48: red top left, green top right, blue bottom left, white
        // bottom right (rows from the top, as the file stores them).
        pictures::Image picture;
        picture.width = 64;
        picture.height = 48;
        picture.channels = 3;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const bool right = x >= 32, bottom = y >= 24;
                const std::uint8_t r = !bottom && !right ? 255 : (bottom && right ? 255 : 0);
                const std::uint8_t g = !bottom && right ? 255 : (bottom && right ? 255 : 0);
                const std::uint8_t b = bottom ? 255 : 0;
                picture.pixels.insert(picture.pixels.end(), {r, g, b});
            }
        }
        std::string error;
        ASSERT_TRUE(pictures::writeJpeg((dir_ / "loader.jpg").string(), picture, 100, error)) << error;
    }
    void TearDown() override {
        fs::remove_all(dir_);
        resetDrawState();
        GlTest::TearDown();
    }
    std::string data() const { return dir_.string() + "/"; }

    static bool near(Rgba p, int r, int g, int b) {
        return std::abs(p.r - r) < 24 && std::abs(p.g - g) < 24 && std::abs(p.b - b) < 24;
    }

    fs::path dir_;
    int presents_ = 0;
};

TEST_F(LoadingScreenTest, ThePictureIsStretchedOverTheWholeWindowAndPresented) {
    // Two window shapes, neither the picture's.
    for (const auto& [w, h] : {std::pair{256, 256}, std::pair{240, 135}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        LoadingScreen screen;
        presents_ = 0;
        ASSERT_TRUE(screen.init(data(), w, h, [&] { ++presents_; }));
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        screen.draw();
        EXPECT_EQ(presents_, 1);
        EXPECT_TRUE(near(readPixel(1, h - 2), 255, 0, 0));
        EXPECT_TRUE(near(readPixel(w / 2 - 16, h / 2 + 16), 255, 0, 0));
        EXPECT_TRUE(near(readPixel(w - 2, h - 2), 0, 255, 0));
        EXPECT_TRUE(near(readPixel(w / 2 + 16, h / 2 + 16), 0, 255, 0));
        EXPECT_TRUE(near(readPixel(1, 1), 0, 0, 255));
        EXPECT_TRUE(near(readPixel(w / 2 - 16, h / 2 - 16), 0, 0, 255));
        EXPECT_TRUE(near(readPixel(w - 2, 1), 255, 255, 255));
        // The depth test comes back on; blending stays off, as after any
        // opaque sprite pass.
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
    }
}

TEST_F(LoadingScreenTest, TheBarGrowsWithTheFilesInVisibleSteps) {
    const int w = 200, h = 120;
    const LoadingScreen::Area bar = LoadingScreen::barArea(w, h);
    const int y = static_cast<int>((bar.y0 + bar.y1) / 2);
    const int x0 = static_cast<int>(bar.x0), x1 = static_cast<int>(bar.x1), middle = (x0 + x1) / 2;
    ASSERT_GT(bar.y1 - bar.y0, 2.0f);
    ASSERT_LT(bar.y1, h / 4.0f);
    LoadingScreen screen;
    ASSERT_TRUE(screen.init(data(), w, h, [&] { ++presents_; }));
    screen.draw();
    const Rgba before = readPixel(x1 - 10, y);  // where the bar runs, over white
    EXPECT_TRUE(near(before, 255, 255, 255)) << "no bar before a total is known";
    screen.setItemTotal(100);
    EXPECT_EQ(presents_, 2);
    EXPECT_LT(brightness(readPixel(x1 - 10, y)), brightness(before) - 150) << "an empty bar darkens its track";
    EXPECT_TRUE(near(readPixel(x1 + 5, y), 255, 255, 255)) << "the track ends short of the edge";
    for (int i = 0; i < 50; ++i) screen.addItemDone();
    // Two files are one fiftieth: 25 more pictures for half the files.
    EXPECT_EQ(presents_, 27);
    EXPECT_FLOAT_EQ(screen.shownShare(), 0.5f);
    EXPECT_GT(brightness(readPixel(middle - 4, y)), 600) << "the done part is light, also over blue";
    EXPECT_LT(brightness(readPixel(middle + 4, y)), 450) << "the rest over white is darkened";
    EXPECT_TRUE(near(readPixel(middle - 4, static_cast<int>(bar.y1) + 4), 0, 0, 255))
        << "above the bar the picture is untouched";
    for (int i = 0; i < 50; ++i) screen.addItemDone();
    EXPECT_EQ(presents_, 52);
    EXPECT_GT(brightness(readPixel(x1 - 2, y)), 600);
    // More than announced keeps counting and draws nothing more.
    screen.addItemDone();
    screen.addItemDone();
    EXPECT_EQ(screen.itemsDone(), 102);
    EXPECT_EQ(presents_, 52);
    // A total too small for steps draws at every file, and the last one.
    screen.setItemTotal(3);
    for (int i = 0; i < 3; ++i) screen.addItemDone();
    EXPECT_EQ(presents_, 56);
    EXPECT_FLOAT_EQ(screen.shownShare(), 1.0f);
}

TEST_F(LoadingScreenTest, AMissingPictureOrProgramLeavesABlackScreenThatStillShowsProgress) {
    const LoadingScreen::Area bar = LoadingScreen::barArea(200, 120);
    const int y = static_cast<int>((bar.y0 + bar.y1) / 2);
    fs::remove(dir_ / "loader.jpg");
    LoadingScreen noPicture;
    EXPECT_FALSE(noPicture.init(data(), 200, 120, [&] { ++presents_; }));
    noPicture.setItemTotal(2);
    noPicture.addItemDone();
    EXPECT_EQ(presents_, 2);
    EXPECT_EQ(readPixel(100, 60), (Rgba{0, 0, 0, 0}));
    EXPECT_GT(brightness(readPixel(static_cast<int>(bar.x0) + 10, y)), 600);
    fs::remove(dir_ / "effects" / "Sprite.fpr");
    LoadingScreen noProgram;
    EXPECT_FALSE(noProgram.init(data(), 200, 120, [&] { ++presents_; }));
    noProgram.draw();
    EXPECT_EQ(presents_, 3);
    EXPECT_EQ(readPixel(100, 60), (Rgba{0, 0, 0, 0}));
}

}  // namespace
