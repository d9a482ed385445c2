#include <gtest/gtest.h>

#include <vector>

#include "content/sprite_renderer.h"
#include "render/post_processing.h"
#include "render/render_targets.h"
#include "tests/render/render_fixture.h"

namespace {

using murmur::test::effects;
using murmur::test::Rgba;

constexpr int kSize = 64;

class GlowTest : public murmur::test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        quad.create();
        ASSERT_TRUE(post.create(effects(), quad, kSize, kSize, nullptr));
        FrameBuffer::unbind();
    }
    ScreenQuad quad;
    PostProcessing post;
};

TEST_F(GlowTest, BlurredGlowIsAddedOverTheWholeWindow) {
    // A white 4 x 4 square in the middle of the half-size glow texture.
    const int half = kSize / 2;
    std::vector<Rgba> glow(static_cast<std::size_t>(half * half), Rgba{0, 0, 0, 0});
    for (int y = 14; y < 18; ++y)
        for (int x = 14; x < 18; ++x) glow[static_cast<std::size_t>(y * half + x)] = {255, 255, 255, 255};
    glBindTexture(GL_TEXTURE_2D, post.glowTexture()->name);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, half, half, GL_RGBA, GL_UNSIGNED_BYTE, glow.data());
    post.blurGlow();

    glViewport(0, 0, kSize, kSize);
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SpriteRenderer sprites(effects().findProgram("Sprite"), pixelOrthoMatrix(kSize, kSize));
    glEnable(GL_DEPTH_TEST);
    post.compositeGlow(sprites);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    for (GLuint slot = 0; slot <= 1; ++slot) {
        GLint enabled = 1;
        glGetVertexAttribiv(slot, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, 0) << slot;
    }

    const Rgba centre = murmur::test::readPixel(32, 32);
    const Rgba near = murmur::test::readPixel(32 + 12, 32);
    const Rgba far = murmur::test::readPixel(2, 2);
    EXPECT_GT(centre.r, 90);
    EXPECT_GT(near.r, 51) << "the light reaches beyond the square";
    EXPECT_LT(near.r, centre.r);
    EXPECT_EQ(far, (Rgba{51, 51, 51, 255})) << "and adds nothing far away";
}

}  // namespace
