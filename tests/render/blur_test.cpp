#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "content/content_loader.h"
#include "content/content_manager.h"
#include "render/post_processing.h"
#include "render/program_setup.h"
#include "render/separable_blur.h"
#include "tests/render/render_fixture.h"

namespace {

using murmur::test::effects;
using murmur::test::Rgba;

class BlurTest : public murmur::test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        horizontal = prepareProgram(effects(), "HoriBlur", {{"a_position", 0}, {"a_coords", 1}}, nullptr);
        vertical = prepareProgram(effects(), "VertBlur", {{"a_position", 0}, {"a_coords", 1}}, nullptr);
        ASSERT_TRUE(horizontal && vertical);
    }
    float pixelSize(ShaderProgram* program) {
        float value = 0.0f;
        glGetUniformfv(program->program, program->uniformLocation("u_pixelSize"), &value);
        return value;
    }
    ShaderProgram* horizontal = nullptr;
    ShaderProgram* vertical = nullptr;
};

TEST_F(BlurTest, RunsAtHalfTheWindowWithOneTexelSteps) {
    ScreenQuad quad;
    quad.create();
    for (const auto& [w, h] : {std::pair{1280, 720}, std::pair{1023, 767}}) {
        PostProcessing post;
        std::vector<std::string> problems;
        EXPECT_TRUE(post.create(effects(), quad, w, h, &problems));
        GLint bound = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), post.sceneTarget().framebuffer) << "the scene target stays bound";
        ASSERT_TRUE(post.hasGlow());
        EXPECT_EQ(post.blur().width(), w / 2);
        EXPECT_EQ(post.blur().height(), h / 2);
        EXPECT_EQ(post.glowTexture()->width, w / 2);
        EXPECT_EQ(post.sceneColour()->width, w);

        post.beginGlow();
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], w / 2);
        EXPECT_EQ(viewport[3], h / 2);
        post.blurGlow();
        EXPECT_FLOAT_EQ(pixelSize(horizontal), 1.0f / static_cast<float>(w / 2));
        EXPECT_FLOAT_EQ(pixelSize(vertical), 1.0f / static_cast<float>(h / 2));
    }
    EXPECT_FLOAT_EQ(1.0f / 640.0f, 0.0015625f);
}

TEST_F(BlurTest, FlatPictureStaysFlat) {
    SeparableBlur blur;
    ASSERT_TRUE(blur.create(horizontal, vertical, 24, 20));
    const auto input = murmur::test::flatTexture(24, 20, {100, 150, 200, 255}, GL_LINEAR);
    blur.run(*input);
    for (const Rgba& p : murmur::test::texturePixels(*blur.output())) {
        ASSERT_LE(std::abs(p.r - 100), 1);
        ASSERT_LE(std::abs(p.g - 150), 1);
        ASSERT_LE(std::abs(p.b - 200), 1);
        ASSERT_LE(std::abs(p.a - 255), 1);
    }
}

TEST_F(BlurTest, BrightSquareSpreadsEvenlyIntoItsNeighbourhood) {
    const int size = 41, c = 20;
    std::vector<Rgba> pixels(static_cast<std::size_t>(size * size), Rgba{0, 0, 0, 0});
    for (int y = c - 1; y <= c + 1; ++y)
        for (int x = c - 1; x <= c + 1; ++x) pixels[static_cast<std::size_t>(y * size + x)] = {255, 255, 255, 255};
    const auto input = murmur::test::rgbaTexture(size, size, pixels, GL_LINEAR);  // as the glow texture is
    SeparableBlur blur;
    ASSERT_TRUE(blur.create(horizontal, vertical, size, size));
    blur.run(*input);
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);

    const std::vector<Rgba> out = murmur::test::texturePixels(*blur.output());
    const auto at = [&](int x, int y) { return static_cast<int>(out[static_cast<std::size_t>(y * size + x)].r); };
    EXPECT_LT(at(c, c), 255) << "the centre gives some of its light away";
    EXPECT_GT(at(c + 5, c), 0) << "five texels out";
    EXPECT_GT(at(c, c + 5), 0);
    EXPECT_GT(at(c + 4, c + 4), 0) << "diagonally too";
    EXPECT_EQ(at(c + 12, c), 0) << "but not without end";
    EXPECT_EQ(at(0, 0), 0);
    for (int d = 1; d <= 10; ++d) {
        EXPECT_LE(std::abs(at(c + d, c) - at(c - d, c)), 1) << d;
        EXPECT_LE(std::abs(at(c, c + d) - at(c, c - d)), 1) << d;
        EXPECT_LE(std::abs(at(c + d, c) - at(c, c + d)), 1) << d;
        EXPECT_LE(at(c + d, c), at(c + d - 1, c)) << d;
    }
    // The light is moved, not made or lost (within 8-bit rounding).
    long total = 0;
    for (const Rgba& p : out) total += p.r;
    EXPECT_NEAR(static_cast<double>(total), 9.0 * 255.0, 9.0 * 255.0 * 0.05);
}

TEST_F(BlurTest, WithoutItsProgramsTheGlowIsLeftOut) {
    SeparableBlur blur;
    EXPECT_FALSE(blur.create(nullptr, vertical, 16, 16));
    const auto input = murmur::test::flatTexture(16, 16, {255, 255, 255, 255});
    blur.run(*input);  // nothing happens

    ContentLoader loader;
    ContentManager empty(&loader);
    ScreenQuad quad;
    quad.create();
    PostProcessing post;
    std::vector<std::string> problems;
    EXPECT_FALSE(post.create(empty, quad, 64, 48, &problems));
    EXPECT_FALSE(post.hasGlow());
    EXPECT_FALSE(post.beginGlow());
    post.blurGlow();
    bool named = false;
    for (const std::string& p : problems) named = named || p.find("HoriBlur") != std::string::npos;
    EXPECT_TRUE(named);
}

}  // namespace
