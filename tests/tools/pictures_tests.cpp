// The building blocks of the authored pictures.
#include "test_archive.h"
#include "tools/pictures/blend.h"
#include "tools/pictures/height_field.h"
#include "tools/pictures/image_writers.h"
#include "tools/pictures/noise.h"
#include "tools/pictures/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;
using namespace pictures;
using namespace testing_tools;

namespace {
fs::path scratchDir()
{
    return scratchFolder("pictures");
}
} // namespace

TEST(Noise, TileableNoiseRepeatsAfterItsPeriodAndStaysInRange)
{
    // Shifting by a whole period moves the sample point by the period exactly;
    // only float rounding of the shifted coordinate may differ.
    for (float x : {0.0f, 0.3f, 1.7f, 2.5f, 3.99f})
        for (float y : {0.0f, 0.6f, 2.2f}) {
            EXPECT_NEAR(valueNoise(x, y, 7, 4), valueNoise(x + 4.0f, y - 8.0f, 7, 4), 1e-5f);
            EXPECT_NEAR(gradientNoise(x, y, 7, 4), gradientNoise(x + 4.0f, y + 4.0f, 7, 4), 1e-5f);
            EXPECT_NEAR(fbm(x, y, 7, 5, 4), fbm(x - 4.0f, y + 4.0f, 7, 5, 4), 1e-5f);
            Cell a = cellular(x, y, 7, 4), b = cellular(x + 4.0f, y, 7, 4);
            EXPECT_NEAR(a.f1, b.f1, 1e-5f);
            EXPECT_EQ(a.id, b.id);
        }
    float lo = 1e9f, hi = -1e9f;
    for (int i = 0; i < 4000; ++i) {
        float x = static_cast<float>(i) * 0.137f, y = static_cast<float>(i % 61) * 0.291f;
        float v = valueNoise(x, y, 3);
        ASSERT_GE(v, 0.0f);
        ASSERT_LE(v, 1.0f);
        float g = gradientNoise(x, y, 3);
        lo = std::min(lo, g);
        hi = std::max(hi, g);
        ASSERT_LE(std::fabs(g), 1.5f);
        Cell c = cellular(x, y, 3);
        ASSERT_LE(c.f1, c.f2);
    }
    EXPECT_LT(lo, -0.3f);
    EXPECT_GT(hi, 0.3f);
    EXPECT_NE(gradientNoise(0.5f, 0.5f, 1), gradientNoise(0.5f, 0.5f, 2)) << "the seed changes the pattern";
}

TEST(NormalMap, FlatIsStraightUpAndSlopesTiltAwayFromTheRise)
{
    HeightField flat(8, 8);
    pictures::Image n = heightToNormalMap(flat, 4.0f);
    ASSERT_EQ(n.channels, 3);
    EXPECT_EQ(n.pixels[0], 128);
    EXPECT_EQ(n.pixels[1], 128);
    EXPECT_EQ(n.pixels[2], 255);

    // Rising to the right: the normal leans left (red below the middle).
    HeightField ramp(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ramp.at(x, y) = 0.1f * x;
    pictures::Image r = heightToNormalMap(ramp, 4.0f);
    const uint8_t* mid = &r.pixels[(8 * 16 + 8) * 3];
    EXPECT_LT(mid[0], 128);
    EXPECT_EQ(mid[1], 128);
    // Rising towards the top of the picture: the normal leans down (green below the middle).
    HeightField up(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) up.at(x, y) = -0.1f * y;
    pictures::Image u = heightToNormalMap(up, 4.0f);
    EXPECT_EQ(u.pixels[(8 * 16 + 8) * 3], 128);
    EXPECT_LT(u.pixels[(8 * 16 + 8) * 3 + 1], 128);
}

TEST(ImageWriters, PngRoundTripsEveryChannelCount)
{
    for (int channels : {1, 3, 4}) {
        pictures::Image image{5, 3, channels, {}};
        for (int i = 0; i < 5 * 3 * channels; ++i) image.pixels.push_back(static_cast<uint8_t>(i * 17));
        std::string path = (scratchDir() / ("round" + std::to_string(channels) + ".png")).string();
        std::string error;
        ASSERT_TRUE(writePng(path, image, error)) << error;
        ::Image back;
        ASSERT_TRUE(loadImage(path, back));
        EXPECT_EQ(back.width, 5u);
        EXPECT_EQ(back.height, 3u);
        if (channels == 1) {
            // The loader turns grey into RGB.
            ASSERT_EQ(back.channels, 3);
            for (size_t i = 0; i < image.pixels.size(); ++i) {
                EXPECT_EQ(back.pixels[3 * i], image.pixels[i]);
                EXPECT_EQ(back.pixels[3 * i + 2], image.pixels[i]);
            }
        } else {
            EXPECT_EQ(back.channels, channels);
            EXPECT_EQ(back.pixels, image.pixels);
        }
    }
}

TEST(ImageWriters, JpegKeepsSizeAndColourAndRejectsWhatItCannotHold)
{
    Canvas canvas(40, 24, Color{0.9f, 0.2f, 0.1f, 1.0f});
    std::string path = (scratchDir() / "red.jpg").string();
    std::string error;
    ASSERT_TRUE(writeJpeg(path, toImage(canvas, 3), 90, error)) << error;
    ::Image back;
    ASSERT_TRUE(loadImage(path, back));
    EXPECT_EQ(back.width, 40u);
    EXPECT_EQ(back.height, 24u);
    EXPECT_EQ(back.channels, 3);
    EXPECT_NEAR(pixel(back, 20, 12)[0], 230, 6);
    EXPECT_NEAR(pixel(back, 20, 12)[1], 51, 6);

    EXPECT_FALSE(writeJpeg(path, toImage(canvas, 4), 90, error));
    EXPECT_NE(error.find("red.jpg"), std::string::npos) << error;
    pictures::Image wrongSize = toImage(canvas, 3);
    wrongSize.pixels.pop_back();
    EXPECT_FALSE(writePng((scratchDir() / "short.png").string(), wrongSize, error));
    EXPECT_FALSE(writePng((scratchDir() / "no_folder" / "x.png").string(), toImage(canvas, 3), error));
    EXPECT_NE(error.find("no_folder"), std::string::npos) << error;
}

TEST(Canvas, FlipRowsAndCompositing)
{
    pictures::Image image{1, 3, 1, {1, 2, 3}};
    flipRows(image);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{3, 2, 1}));

    Canvas canvas(1, 1, Color{0, 0, 1, 0});
    canvas.blendOver(0, 0, Color{1, 0, 0, 1}, 0.5f);
    EXPECT_FLOAT_EQ(canvas.at(0, 0).r, 1.0f) << "over a transparent pixel the colour is taken as is";
    EXPECT_FLOAT_EQ(canvas.at(0, 0).a, 0.5f);
    canvas.blendOver(0, 0, Color{0, 1, 0, 1}, 1.0f);
    EXPECT_FLOAT_EQ(canvas.at(0, 0).g, 1.0f);
    EXPECT_FLOAT_EQ(canvas.at(0, 0).a, 1.0f);
    canvas.blendOver(5, 5, Color{1, 1, 1, 1}); // outside: ignored

    Gradient ramp{{0.0f, Color{0, 0, 0, 1}}, {1.0f, Color{1, 1, 1, 1}}};
    EXPECT_FLOAT_EQ(ramp.at(0.25f).r, 0.25f);
    EXPECT_FLOAT_EQ(ramp.at(-1.0f).r, 0.0f);
    EXPECT_FLOAT_EQ(ramp.at(2.0f).r, 1.0f);
}

TEST(Text, Utf8DecodingKeepsStrayBytesAsLatin1)
{
    EXPECT_EQ(fromUtf8("A\xc3\xa9z"), (std::u32string{U'A', 0xE9, U'z'}));
    EXPECT_EQ(fromUtf8("\xe9t\xc3"), (std::u32string{0xE9, U't', 0xC3}));
}

TEST(Text, MissingFontFileIsReportedByName)
{
    std::string error;
    EXPECT_EQ(FontFace::open("/nonexistent/fonts/Nope.ttf", error), nullptr);
    EXPECT_NE(error.find("Nope.ttf"), std::string::npos) << error;
}
