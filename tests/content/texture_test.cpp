#include <gtest/gtest.h>
#include <png.h>

#include <vector>

#include "content/texture.h"
#include "tests/content/image_files.h"
#include "tests/support/gl_context.h"

namespace {

using murmur::test::ScratchDir;

class TextureTest : public murmur::test::GlTest {};

GLint texParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint levelParameter(int level, GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

// Level 0 of the bound texture, tightly packed.
std::vector<std::uint8_t> readLevel0(GLenum format, int width, int height, int channels) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width * height * channels));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return bytes;
}

// Two rows: red on top of the picture, blue at the bottom.
void writeRedOverBlue(const std::string& path) {
    murmur::test::writeRgbPng(path, 2, 2, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});
}

TEST_F(TextureTest, ContentTextureIsFlippedSoTheBottomOfThePictureIsAtVZero) {
    ScratchDir dir;
    writeRedOverBlue(dir.file("rb.png"));
    const auto texture = loadTexture(dir.file("rb.png"));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->width, 2);
    EXPECT_EQ(texture->height, 2);
    EXPECT_EQ(texture->bitsPerPixel, 24);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    EXPECT_EQ(readLevel0(GL_RGB, 2, 2, 3), (std::vector<std::uint8_t>{0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 0, 0}));
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(texParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 1) << "mipmaps were not generated";
}

TEST_F(TextureTest, FontTextureKeepsTheTopRowAtVZero) {
    ScratchDir dir;
    writeRedOverBlue(dir.file("font.png"));
    const auto texture = loadTextureNearest(dir.file("font.png"));
    ASSERT_TRUE(texture);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    EXPECT_EQ(readLevel0(GL_RGB, 2, 2, 3), (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255}));
    EXPECT_EQ(texParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 0);
}

TEST_F(TextureTest, MissingOrUndecodableFilesGiveNull) {
    ScratchDir dir;
    EXPECT_FALSE(loadTexture(dir.file("absent.png")));
    EXPECT_FALSE(loadTextureNearest(dir.file("absent.png")));
    murmur::test::writeBytes(dir.file("broken.png"), {0x89, 'P', 'N', 'G', 1, 2, 3});
    EXPECT_FALSE(loadTexture(dir.file("broken.png")));
    EXPECT_FALSE(loadTextureNearest(dir.file("broken.png")));
    writeRedOverBlue(dir.file("wrong.tga"));
    EXPECT_FALSE(loadTexture(dir.file("wrong.tga")));
}

TEST_F(TextureTest, RowsOfAnyByteLengthUploadIntact) {
    // 3 RGB pixels make 9-byte rows and 5 alpha pixels 5-byte rows; with the
    // default 4-byte unpack alignment GL would read them skewed.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    std::vector<std::uint8_t> rgb(3 * 3 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(10 + i);
    auto texture = createTexture(3, 3, 24, rgb.data(), GL_REPEAT, GL_NEAREST, GL_NEAREST, false);
    ASSERT_TRUE(texture);
    EXPECT_EQ(readLevel0(GL_RGB, 3, 3, 3), rgb);

    std::vector<std::uint8_t> alpha(5 * 2);
    for (std::size_t i = 0; i < alpha.size(); ++i) alpha[i] = static_cast<std::uint8_t>(200 - i);
    texture = createTexture(5, 2, 8, alpha.data(), GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false);
    ASSERT_TRUE(texture);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_ALPHA);
    EXPECT_EQ(readLevel0(GL_ALPHA, 5, 2, 1), alpha);

    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's unpack alignment was not restored";
}

TEST_F(TextureTest, StorageWithoutPixelsAndUnknownDepths) {
    const auto target = createTexture(64, 32, 32, nullptr, GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR, false);
    ASSERT_TRUE(target);
    EXPECT_NE(target->name, 0u);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 32);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    // No GL error is left behind by refused depths.
    EXPECT_FALSE(createTexture(4, 4, 16, nullptr, GL_REPEAT, GL_LINEAR, GL_LINEAR, false));
    EXPECT_FALSE(createTexture(-1, 4, 32, nullptr, GL_REPEAT, GL_LINEAR, GL_LINEAR, false));
}

}  // namespace
