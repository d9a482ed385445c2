#include "content/image_prefetch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/content/image_files.h"

namespace {

using murmur::test::ScratchDir;
using murmur::test::writeRgbPng;

// A 2x3 picture whose rows are all `shade`, but the top one, which is red.
std::vector<std::uint8_t> rows(std::uint8_t shade) {
    std::vector<std::uint8_t> rgb(2 * 3 * 3, shade);
    rgb[0] = rgb[3] = 255;
    rgb[1] = rgb[2] = rgb[4] = rgb[5] = 0;
    return rgb;
}

// Pictures come out in the list's order, each as loadImage and flipRows make
// it; a file that cannot be decoded comes out as such, in its place.
TEST(ImagePrefetchTest, PicturesComeInTheirOrderDecodedAndTurned) {
    ScratchDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        paths.push_back(dir.file("p" + std::to_string(i) + ".png"));
        writeRgbPng(paths.back(), 2, 3, rows(static_cast<std::uint8_t>(i)));
    }
    paths[7] = dir.file("missing.png");
    ImagePrefetch prefetch(paths, 3, 4);
    for (int i = 0; i < 40; ++i) {
        Image image;
        bool decoded = true;
        ASSERT_TRUE(prefetch.take(paths[static_cast<std::size_t>(i)], image, decoded)) << i;
        if (i == 7) {
            EXPECT_FALSE(decoded);
            EXPECT_TRUE(image.pixels.empty());
            continue;
        }
        ASSERT_TRUE(decoded) << i;
        Image expected;
        ASSERT_TRUE(loadImage(paths[static_cast<std::size_t>(i)], expected));
        flipRows(expected);
        EXPECT_EQ(image.pixels, expected.pixels) << i;
        EXPECT_EQ(image.pixels.back(), 0) << "the red top row is last: " << i;
        EXPECT_EQ(image.width, 2u);
        EXPECT_EQ(image.height, 3u);
    }
    EXPECT_TRUE(prefetch.done());
}

// A path out of turn is not the prefetch's to give: the caller decodes it and
// the list goes on where it was. Dropping a prefetch with pictures still
// waiting stops its workers.
TEST(ImagePrefetchTest, APathOutOfTurnIsLeftToTheCaller) {
    ScratchDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        paths.push_back(dir.file("q" + std::to_string(i) + ".png"));
        writeRgbPng(paths.back(), 2, 3, rows(10));
    }
    ImagePrefetch prefetch(paths, 1, 2);
    Image image;
    bool decoded = false;
    EXPECT_FALSE(prefetch.take(paths[1], image, decoded));
    EXPECT_FALSE(prefetch.take(dir.file("other.png"), image, decoded));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_TRUE(prefetch.take(paths[0], image, decoded));
    EXPECT_TRUE(decoded);
    EXPECT_FALSE(prefetch.done());
}

}  // namespace
