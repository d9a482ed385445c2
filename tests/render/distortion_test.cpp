#include <gtest/gtest.h>

#include <vector>

#include "content/sprite_renderer.h"
#include "render/distort_particle_handler.h"
#include "render/particle_emitter.h"
#include "render/post_processing.h"
#include "render/program_setup.h"
#include "render/render_targets.h"
#include "tests/render/render_fixture.h"

namespace {

using murmur::test::effects;
using murmur::test::Rgba;

constexpr int kSize = 64;

// Every pixel of the scene a different colour, so any bend shows.
std::vector<Rgba> scenePattern() {
    std::vector<Rgba> pixels;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            pixels.push_back({static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 128, 255});
    return pixels;
}

class DistortionTest : public murmur::test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        quad.create();
        ASSERT_TRUE(post.create(effects(), quad, kSize, kSize, nullptr));
    }

    // The scene pass with the pattern as the drawn scene.
    void drawScene() {
        post.beginScene();
        const std::vector<Rgba> pattern = scenePattern();
        glBindTexture(GL_TEXTURE_2D, post.sceneColour()->name);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, pattern.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    // One particle of the given size at the middle of the window, with an
    // orthographic camera looking down -z.
    void drawParticle(DistortParticleHandler& handler, float size) {
        post.drawToSceneColourAndDistortion();
        glEnable(GL_DEPTH_TEST);
        ParticleEmitter emitter(1, handler);
        emitter.particlesPerSecond = 1;
        emitter.lifeMin = emitter.lifeMax = 10.0f;
        emitter.spread = 0.0f;
        emitter.direction = {0.0f, 0.0f, 0.0f};
        emitter.origin = {0.0f, 0.0f, -1.0f};
        emitter.size.appendKey(0.0f, size, false);
        emitter.update(1.0f);
        ASSERT_EQ(emitter.activeCount, 1u);
        emitter.draw();
    }

    std::vector<Rgba> window() { return murmur::test::readPixels(0, 0, kSize, kSize); }

    ScreenQuad quad;
    PostProcessing post;
};

TEST_F(DistortionTest, WithoutParticlesTheSceneReachesTheWindowUnchanged) {
    ASSERT_TRUE(post.prepareDistortion(effects(), nullptr));
    drawScene();
    for (const Rgba& p : murmur::test::texturePixels(*post.distortionTexture())) ASSERT_EQ(p, (Rgba{0, 0, 0, 0}));
    post.compositeDistortion(nullptr);
    EXPECT_EQ(window(), scenePattern());
}

TEST_F(DistortionTest, AParticleInFrontBendsTheSceneAroundIt) {
    ASSERT_TRUE(post.prepareDistortion(effects(), nullptr));
    ShaderProgram* program = prepareProgram(effects(), "DistortParticle", {{"a_position", 0}}, nullptr);
    ASSERT_NE(program, nullptr);
    const auto smoke = murmur::test::flatTexture(8, 8, {255, 255, 255, 160});
    DistortParticleHandler handler(program, smoke.get(), &quad);
    drawScene();
    drawParticle(handler, 1.0f);  // half the window wide

    const std::vector<Rgba> scene = murmur::test::texturePixels(*post.sceneColour());
    const std::vector<Rgba> bend = murmur::test::texturePixels(*post.distortionTexture());
    EXPECT_EQ(bend[0], (Rgba{0, 0, 0, 0})) << "outside the particle nothing is written";
    EXPECT_NE(bend[static_cast<std::size_t>(32 * kSize + 32)], (Rgba{0, 0, 0, 0}));
    EXPECT_NE(scene[static_cast<std::size_t>(32 * kSize + 32)], scenePattern()[32 * kSize + 32]) << "tinted";

    post.compositeDistortion(nullptr);
    const std::vector<Rgba> shown = window();
    const auto index = [](int x, int y) { return static_cast<std::size_t>(y * kSize + x); };
    // Far from the particle the picture is the scene as drawn.
    for (int y : {0, 5, 58, 63})
        for (int x : {0, 5, 58, 63}) EXPECT_EQ(shown[index(x, y)], scene[index(x, y)]) << x << "," << y;
    int bent = 0;
    for (int y = 20; y < 44; ++y)
        for (int x = 20; x < 44; ++x) bent += shown[index(x, y)] == scene[index(x, y)] ? 0 : 1;
    EXPECT_GT(bent, 200) << "most of the particle's inner part is bent";
    // Right of the centre the picture comes from nearer the centre: the puff
    // swells what lies behind it.
    const Rgba right = shown[index(42, 32)];
    int from = -1;
    for (int x = 0; x < kSize; ++x)
        if (scene[index(x, 32)] == right) from = x;
    EXPECT_GT(from, 32);
    EXPECT_LT(from, 42);
}

TEST_F(DistortionTest, WithoutTheDistortionProgramTheSceneIsShownUnbent) {
    ShaderProgram* spriteProgram = effects().findProgram("Sprite");
    ASSERT_NE(spriteProgram, nullptr);
    SpriteRenderer sprites(spriteProgram, pixelOrthoMatrix(kSize, kSize));
    drawScene();
    post.compositeDistortion(&sprites);
    EXPECT_EQ(window(), scenePattern());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    post.compositeDistortion(nullptr);  // nothing to draw with: nothing drawn, nothing broken
    EXPECT_EQ(murmur::test::readPixel(10, 10), (Rgba{0, 0, 0, 255}));
}

}  // namespace
