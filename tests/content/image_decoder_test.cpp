#include <cstdio>
// jpeglib.h needs FILE declared first.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <filesystem>
#include <string>

#include <fstream>
#include <zlib.h>

#include <sys/resource.h>

#include "content/image.h"
#include "tests/content/image_files.h"

namespace {

namespace fs = std::filesystem;
using murmur::test::ScratchDir;
using murmur::test::writePng;

const std::string kSuite = MURMUR_TESTDATA_DIR "/pngsuite/";

// Channels the decoder must give for a valid suite file: grey and colour
// give RGB, anything with alpha gives RGBA, and palette files give RGBA when
// they carry a transparency chunk (the "t" files other than tp0) and RGB
// otherwise.
int expectedChannels(const std::string& name) {
    const std::string type = name.substr(4, 2);
    if (type == "4a" || type == "6a") return 4;
    if (type == "3p" && name[0] == 't' && name.rfind("tp0", 0) != 0) return 4;
    return 3;
}

TEST(PngSuite, EveryValidFileDecodesToEightBitRgbOrRgba) {
    int valid = 0;
    for (const auto& entry : fs::directory_iterator(kSuite)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png" || name[0] == 'x') continue;
        ++valid;
        Image image;
        ASSERT_TRUE(loadPng(entry.path().string(), image)) << name;
        EXPECT_EQ(image.channels, expectedChannels(name)) << name;
        EXPECT_EQ(image.pixels.size(), std::size_t{image.width} * image.height * image.channels) << name;
        if (name[0] == 's' && std::isdigit(static_cast<unsigned char>(name[1]))) {
            const unsigned side = static_cast<unsigned>(std::stoi(name.substr(1, 2)));
            EXPECT_EQ(image.width, side) << name;
            EXPECT_EQ(image.height, side) << name;
        } else if (name.rfind("bas", 0) == 0) {
            EXPECT_EQ(image.width, 32u) << name;
            EXPECT_EQ(image.height, 32u) << name;
        }
    }
    EXPECT_GT(valid, 100);
}

TEST(PngSuite, EveryCorruptFileFailsAndLeavesNoPixels) {
    int corrupt = 0;
    for (const auto& entry : fs::directory_iterator(kSuite)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png" || name[0] != 'x') continue;
        ++corrupt;
        Image image;
        image.channels = 7;
        EXPECT_FALSE(loadPng(entry.path().string(), image)) << name;
        EXPECT_TRUE(image.pixels.empty()) << name;
        EXPECT_EQ(image.width, 0u) << name;
    }
    EXPECT_GE(corrupt, 10);
}

TEST(PngSuite, LowBitGreyIsScaledToTheFullByteRange) {
    // basn0g01 is a 1-bit black and white picture: every sample must be 0 or
    // 255 and both must occur, with R = G = B.
    Image image;
    ASSERT_TRUE(loadPng(kSuite + "basn0g01.png", image));
    bool black = false, white = false;
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
        const std::uint8_t v = image.pixels[i];
        ASSERT_TRUE(v == 0 || v == 255) << int(v);
        ASSERT_EQ(image.pixels[i + 1], v);
        ASSERT_EQ(image.pixels[i + 2], v);
        black |= v == 0;
        white |= v == 255;
    }
    EXPECT_TRUE(black && white);
}

TEST(PngDecoder, SixteenBitRgbaIsReducedToEightBitsAndGreyAlphaBecomesRgba) {
    ScratchDir dir;
    // One pixel per row, samples 0xFFFF, 0x8080, 0x0000, 0x8080 (big-endian).
    writePng(dir.file("deep.png"), 1, 2, PNG_COLOR_TYPE_RGBA, 16,
             {0xFF, 0xFF, 0x80, 0x80, 0x00, 0x00, 0x80, 0x80, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF});
    Image image;
    ASSERT_TRUE(loadPng(dir.file("deep.png"), image));
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{255, 128, 0, 128, 0, 0, 255, 255}));

    writePng(dir.file("ga.png"), 2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {10, 20, 30, 40});
    ASSERT_TRUE(loadPng(dir.file("ga.png"), image));
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{10, 10, 10, 20, 30, 30, 30, 40}));
}

TEST(PngDecoder, PalettePicturesAreExpandedToTheirColours) {
    ScratchDir dir;
    const murmur::test::PngPalette palette{{255, 0, 0, 0, 0, 255, 0, 255, 0}, {}};
    // 4-bit indices, 3 pixels in a row: 2, 0, 1.
    writePng(dir.file("pal.png"), 3, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x20, 0x10}, palette);
    Image image;
    ASSERT_TRUE(loadPng(dir.file("pal.png"), image));
    EXPECT_EQ(image.channels, 3);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{0, 255, 0, 255, 0, 0, 0, 0, 255}));

    const murmur::test::PngPalette transparent{{255, 0, 0, 0, 0, 255}, {0, 200}};
    writePng(dir.file("palt.png"), 2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, transparent);
    ASSERT_TRUE(loadPng(dir.file("palt.png"), image));
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{255, 0, 0, 0, 0, 0, 255, 200}));
}

TEST(PngDecoder, MissingTruncatedAndForeignFilesFail) {
    ScratchDir dir;
    Image image;
    EXPECT_FALSE(loadPng(dir.file("absent.png"), image));
    std::vector<std::uint8_t> bytes = murmur::test::readBytes(kSuite + "basn2c08.png");
    bytes.resize(bytes.size() / 2);
    murmur::test::writeBytes(dir.file("half.png"), bytes);
    EXPECT_FALSE(loadPng(dir.file("half.png"), image));
    EXPECT_TRUE(image.pixels.empty());
    murmur::test::writeJpeg(dir.file("really_jpeg.png"), 4, 4, 3, JCS_RGB, std::vector<std::uint8_t>(48, 90));
    EXPECT_FALSE(loadPng(dir.file("really_jpeg.png"), image));
}

TEST(ImageLoader, ChoosesTheDecoderByTheLowerCasedExtension) {
    ScratchDir dir;
    fs::copy_file(kSuite + "basn6a08.png", dir.file("LOGO.PNG"));
    Image image;
    ASSERT_TRUE(loadImage(dir.file("LOGO.PNG"), image));
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.width, 32u);

    const std::vector<std::uint8_t> grey(8 * 8 * 3, 128);
    murmur::test::writeJpeg(dir.file("photo.jpeg"), 8, 8, 3, JCS_RGB, grey);
    murmur::test::writeJpeg(dir.file("photo.JPG"), 8, 8, 3, JCS_RGB, grey);
    EXPECT_FALSE(loadImage(dir.file("photo.jpeg"), image));
    EXPECT_TRUE(loadJpeg(dir.file("photo.jpeg"), image));  // the file itself is fine
    EXPECT_TRUE(loadImage(dir.file("photo.JPG"), image));

    fs::copy_file(kSuite + "basn6a08.png", dir.file("logo.bmp"));
    EXPECT_FALSE(loadImage(dir.file("logo.bmp"), image));
    EXPECT_FALSE(loadImage("", image));
    // The extension belongs to the file name, not to a folder.
    EXPECT_EQ(lowerCaseExtension("tex.png/noext"), "");
    EXPECT_EQ(lowerCaseExtension("dir\\.hidden"), "");
    EXPECT_EQ(lowerCaseExtension("a/b.tar.PNG"), "png");
}

// Every sample of an RGB image is within `tolerance` of the colour.
void expectColour(const Image& image, int r, int g, int b, int tolerance) {
    for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
        ASSERT_NEAR(image.pixels[i], r, tolerance) << "pixel " << i / 3;
        ASSERT_NEAR(image.pixels[i + 1], g, tolerance) << "pixel " << i / 3;
        ASSERT_NEAR(image.pixels[i + 2], b, tolerance) << "pixel " << i / 3;
    }
}

TEST(JpegDecoder, EveryColourSpaceComesOutAsRgbOfTheRightSize) {
    ScratchDir dir;
    const int w = 13, h = 7;  // odd sizes: rows of 39 bytes
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < w * h; ++i) rgb.insert(rgb.end(), {200, 40, 90});
    murmur::test::writeJpeg(dir.file("colour.jpg"), w, h, 3, JCS_RGB, rgb);
    murmur::test::writeJpeg(dir.file("grey.jpg"), w, h, 1, JCS_GRAYSCALE, std::vector<std::uint8_t>(w * h, 77));
    // Adobe CMYK stores the inks inverted: full magenta and yellow, no cyan
    // or black, is red.
    std::vector<std::uint8_t> cmyk;
    for (int i = 0; i < w * h; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    murmur::test::writeJpeg(dir.file("cmyk.jpg"), w, h, 4, JCS_CMYK, cmyk);

    Image image;
    ASSERT_TRUE(loadJpeg(dir.file("colour.jpg"), image));
    EXPECT_EQ(image.width, unsigned(w));
    EXPECT_EQ(image.height, unsigned(h));
    EXPECT_EQ(image.channels, 3);
    ASSERT_EQ(image.pixels.size(), std::size_t(w * h * 3));
    expectColour(image, 200, 40, 90, 4);

    ASSERT_TRUE(loadJpeg(dir.file("grey.jpg"), image));
    EXPECT_EQ(image.channels, 3);
    ASSERT_EQ(image.pixels.size(), std::size_t(w * h * 3));
    expectColour(image, 77, 77, 77, 2);

    ASSERT_TRUE(loadJpeg(dir.file("cmyk.jpg"), image));
    EXPECT_EQ(image.channels, 3);
    ASSERT_EQ(image.pixels.size(), std::size_t(w * h * 3));
    expectColour(image, 255, 0, 0, 4);
}

TEST(JpegDecoder, TruncatedAndMissingFilesFail) {
    ScratchDir dir;
    const int side = 64;
    std::vector<std::uint8_t> noise(side * side * 3);
    std::uint32_t seed = 12345;
    for (auto& v : noise) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<std::uint8_t>(seed >> 24);
    }
    murmur::test::writeJpeg(dir.file("whole.jpg"), side, side, 3, JCS_RGB, noise, 90);
    Image image;
    ASSERT_TRUE(loadJpeg(dir.file("whole.jpg"), image));

    const std::vector<std::uint8_t> bytes = murmur::test::readBytes(dir.file("whole.jpg"));
    murmur::test::writeBytes(dir.file("body.jpg"), {bytes.begin(), bytes.begin() + bytes.size() / 2});
    murmur::test::writeBytes(dir.file("header.jpg"), {bytes.begin(), bytes.begin() + 40});
    EXPECT_FALSE(loadJpeg(dir.file("body.jpg"), image));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_FALSE(loadJpeg(dir.file("header.jpg"), image));
    EXPECT_FALSE(loadJpeg(dir.file("absent.jpg"), image));
    EXPECT_FALSE(loadJpeg(kSuite + "basn2c08.png", image));
}

TEST(ImageDecoders, DecodeFromMemoryAsFromTheFile) {
    ScratchDir dir;
    const int w = 40, h = 24;
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < w * h; ++i) rgb.insert(rgb.end(), {std::uint8_t(i), std::uint8_t(3 * i), 200});
    murmur::test::writeJpeg(dir.file("progressive.jpg"), w, h, 3, JCS_RGB, rgb, 95, true);
    Image fromFile;
    Image fromMemory;
    ASSERT_TRUE(loadJpeg(dir.file("progressive.jpg"), fromFile));
    const std::vector<std::uint8_t> jpeg = murmur::test::readBytes(dir.file("progressive.jpg"));
    ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), "progressive.jpg", fromMemory));
    EXPECT_EQ(fromMemory.pixels, fromFile.pixels);
    EXPECT_EQ(fromMemory.pixels.size(), std::size_t(w * h * 3));

    ASSERT_TRUE(loadPng(kSuite + "basi6a08.png", fromFile));
    const std::vector<std::uint8_t> png = murmur::test::readBytes(kSuite + "basi6a08.png");
    ASSERT_TRUE(decodePng(png.data(), png.size(), "basi6a08.png", fromMemory));
    EXPECT_EQ(fromMemory.pixels, fromFile.pixels);

    // No bytes at all, and every shorter prefix, fail and leave nothing.
    EXPECT_FALSE(decodePng(nullptr, 0, "none.png", fromMemory));
    EXPECT_FALSE(decodeJpeg(nullptr, 0, "none.jpg", fromMemory));
    for (std::size_t n = 1; n < png.size(); n += 97) {
        EXPECT_FALSE(decodePng(png.data(), n, "part.png", fromMemory)) << n;
        EXPECT_TRUE(fromMemory.pixels.empty()) << n;
    }
    for (std::size_t n = 1; n < jpeg.size(); n += 61) {
        EXPECT_FALSE(decodeJpeg(jpeg.data(), n, "part.jpg", fromMemory)) << n;
        EXPECT_TRUE(fromMemory.pixels.empty()) << n;
    }
}

long peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Headers of a few bytes that claim pictures of hundreds of megabytes: they
// fail without the memory ever being taken.
TEST(ImageDecoders, HugeHeadersOverFewBytesFailWithoutClaimingTheMemory) {
    const std::string kept = MURMUR_SOURCE_DIR "/fuzz/regressions/";
    const long before = peakResidentMiB();
    Image image;
    // 16384 x 16384 RGBA (1 GiB of pixels) in 69 bytes.
    EXPECT_FALSE(loadPng(kept + "fuzz_png/header_claims_more_than_the_file_holds.png", image));
    // A 1-bit palette picture with transparency, 16384 x 8192 (512 MiB as
    // RGBA) in 17 KB, whose data stops after 16 rows.
    EXPECT_FALSE(loadPng(kept + "fuzz_png/truncated_palette_picture_of_half_a_gigabyte.png", image));
    // Progressive grey, 16384 x 16384 (512 MiB of coefficients) and
    // 16392 x 65473, in 144 bytes.
    EXPECT_FALSE(loadJpeg(kept + "fuzz_jpeg/progressive_at_side_limit.jpg", image));
    EXPECT_FALSE(loadJpeg(kept + "fuzz_jpeg/progressive_beyond_side_limit.jpg", image));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_LT(peakResidentMiB() - before, 100);
}

// Peak virtual memory of the process, in MiB.
long peakVirtualMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmPeak:", 0) == 0) return std::stol(line.substr(7)) / 1024;
    return -1;
}

// A chunk length is claimed from the library before the chunk is read; a
// text chunk of 1.2 GB declared in a 67-byte file costs nothing, and a
// large text chunk in a whole file is skipped, not the picture.
TEST(ImageDecoders, ChunkLengthsDoNotClaimMemory) {
    const long before = peakVirtualMiB();
    ASSERT_GT(before, 0);
    Image image;
    EXPECT_FALSE(loadPng(MURMUR_SOURCE_DIR "/fuzz/regressions/fuzz_png/text_chunk_claiming_a_gigabyte.png", image));
    EXPECT_LT(peakVirtualMiB() - before, 256);

    ScratchDir dir;
    std::vector<std::uint8_t> png = murmur::test::readBytes(kSuite + "basn2c08.png");
    const std::string text = "Comment" + std::string(1, '\0') + std::string(9 * 1024 * 1024, 'x');
    std::string chunk;
    const auto put32 = [&chunk](std::uint32_t v) {
        for (int shift : {24, 16, 8, 0}) chunk += char(v >> shift);
    };
    put32(static_cast<std::uint32_t>(text.size()));
    chunk += "tEXt" + text;
    put32(static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(chunk.data()) + 4, static_cast<unsigned>(chunk.size() - 4))));
    png.insert(png.begin() + 33, chunk.begin(), chunk.end());  // after the signature and IHDR
    murmur::test::writeBytes(dir.file("long_text.png"), png);
    ASSERT_TRUE(loadPng(dir.file("long_text.png"), image));
    EXPECT_EQ(image.width, 32u);
}

// The size check never refuses a whole file: all-zero rows are the best case
// for deflate, and a large such picture still decodes.
TEST(ImageDecoders, TheMostCompressiblePngStillDecodes) {
    ScratchDir dir;
    const int side = 1024;
    writePng(dir.file("zeros.png"), side, side, PNG_COLOR_TYPE_RGB_ALPHA, 8,
             std::vector<std::uint8_t>(std::size_t(side) * side * 4, 0));
    Image image;
    ASSERT_TRUE(loadPng(dir.file("zeros.png"), image));
    EXPECT_EQ(image.pixels.size(), std::size_t(side) * side * 4);
}

TEST(FlipRows, SwapsMirroredRowsAndKeepsTheMiddleOne) {
    Image image;
    image.width = 2;
    image.height = 3;
    image.channels = 1;
    image.pixels = {1, 2, 3, 4, 5, 6};
    flipRows(image);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{5, 6, 3, 4, 1, 2}));
    image.height = 2;
    image.pixels = {1, 2, 3, 4};
    flipRows(image);
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{3, 4, 1, 2}));
}

}  // namespace
