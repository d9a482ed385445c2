#include <gtest/gtest.h>

#include <vector>

#include "content/geometry/geometry.h"
#include "content/material.h"
#include "content/sprite_renderer.h"
#include "render/glow_pass.h"
#include "render/material_programs.h"
#include "render/post_processing.h"
#include "render/program_setup.h"
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

    const Rgba centre = murmur::test::readPixel(32, 32);
    const Rgba near = murmur::test::readPixel(32 + 12, 32);
    const Rgba far = murmur::test::readPixel(2, 2);
    EXPECT_GT(centre.r, 90);
    EXPECT_GT(near.r, 51) << "the light reaches beyond the square";
    EXPECT_LT(near.r, centre.r);
    EXPECT_EQ(far, (Rgba{51, 51, 51, 255})) << "and adds nothing far away";
}

// A glowing square facing the camera at the origin, and plain squares that
// can be put in front of it, drawn through the real material programs.
class GlowSceneTest : public GlowTest {
protected:
    void SetUp() override {
        GlowTest::SetUp();
        programs.prepare(effects());
        const sm::Vec3 eye{0.0f, 0.0f, 10.0f};
        programs.uniforms.viewProjection =
            sm::perspectiveFovX(1.0f, 1.0f, 1.0f, 100.0f) * murmur::test::lookAt(eye, {0, 0, 0}, {0, 1, 0});
        programs.uniforms.eyePosition = eye;
        programs.uniforms.lightPosition = eye;
        lamp = square("glow_lamp", 1.0f, 0.0f, 3.0f);
        lamp->material->diffuseColor[0] = lamp->material->diffuseColor[1] = lamp->material->diffuseColor[2] = 1.0f;
        wall = square("wall", 1.0f, 3.0f, 4.0f);
        glass = square("glass", 0.5f, 3.0f, 4.0f);
        murmur::test::upload(geometry);
    }
    SubMesh* square(const char* name, float opacity, float z, float size) {
        Mesh& mesh = *geometry.addMesh(static_cast<int>(geometry.meshes.size()), name);
        SubMesh* s = murmur::test::addQuad(mesh, 1, {0.0f, 0.0f, z}, {0, 0, 1}, {1, 0, 0}, size);
        materials.push_back(std::make_unique<Material>());
        materials.back()->name = name;
        materials.back()->opacity = opacity;
        s->material = materials.back().get();
        return s;
    }

    // The blurred glow, red channel, at a pixel of the half-size picture.
    std::vector<Rgba> glowAfter(const std::vector<SubMesh*>& sorted) {
        SubmeshClasses classes;
        classifySubmeshes(sorted, classes);
        renderGlow(post, programs, classes);
        GLint bound = -1;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(bound, 0);
        return murmur::test::texturePixels(*post.blur().output());
    }
    static int red(const std::vector<Rgba>& glow, int x, int y) {
        return glow[static_cast<std::size_t>(y * (kSize / 2) + x)].r;
    }

    Geometry geometry;
    std::vector<std::unique_ptr<Material>> materials;
    MaterialPrograms programs;
    SubMesh* lamp = nullptr;
    SubMesh* wall = nullptr;
    SubMesh* glass = nullptr;
};

TEST_F(GlowSceneTest, AGlowingSquareBleedsLightAroundItAndAnOpaqueOneInFrontHidesIt) {
    // The lamp spans 9 of the 32 pixels around the centre (16, 16).
    const std::vector<Rgba> alone = glowAfter({lamp});
    EXPECT_GT(red(alone, 16, 16), 150);
    EXPECT_GT(red(alone, 16 + 7, 16), 10) << "light beyond the lamp's edge";
    EXPECT_GT(red(alone, 16, 16 - 7), 10);
    EXPECT_EQ(red(alone, 1, 1), 0) << "but not across the whole picture";

    const std::vector<Rgba> hidden = glowAfter({lamp, wall});
    for (const Rgba& p : hidden) ASSERT_LE(p.r, 1);

    // A half-transparent plain square in front lets half of it through.
    const std::vector<Rgba> dimmed = glowAfter({lamp, glass});
    EXPECT_NEAR(red(dimmed, 16, 16), red(alone, 16, 16) / 2, 12);
    EXPECT_NEAR(red(dimmed, 16 + 7, 16), red(alone, 16 + 7, 16) / 2, 6);
}

// The credits' greeting as the glow pass sees it: a white square in the
// lower left corner of the view, drawn through the greeting program while
// active.
class CornerGreeting : public IGreetingSprite {
public:
    CornerGreeting() : picture_(murmur::test::flatTexture(4, 4, {255, 255, 255, 255})) {
        program_ = prepareProgram(effects(), "CreditSprite", {{"a_position", 0}}, nullptr);
    }
    bool greetingActive() const override { return active; }
    void drawGreeting(const ScreenQuad& quad, const sm::Mat4& viewProjection) const override {
        ++draws;
        seen = viewProjection;
        glUseProgram(program_->program);
        ShaderProgram::setMat4(program_->uniformLocation("u_mvp"),
                               sm::translation({-0.75f, -0.75f, 0.0f}) * sm::scaling({0.5f, 0.5f, 1.0f}));
        ShaderProgram::setTexture(program_->uniformLocation("u_tex"), 0, picture_->name);
        glUniform1f(program_->uniformLocation("u_progress"), 1.0f);
        glDisable(GL_DEPTH_TEST);
        quad.bind();
        ScreenQuad::draw();
        ScreenQuad::unbind();
    }
    bool active = false;
    mutable int draws = 0;
    mutable sm::Mat4 seen;

private:
    ShaderProgram* program_ = nullptr;
    std::unique_ptr<Texture> picture_;
};

TEST_F(GlowSceneTest, TheGreetingGlowsOnlyOnceOneIsChosen) {
    CornerGreeting greeting;
    post.setGreeting(&greeting);
    EXPECT_EQ(red(glowAfter({lamp}), 4, 4), 0);
    EXPECT_EQ(greeting.draws, 0);
    greeting.active = true;
    EXPECT_GT(red(glowAfter({lamp}), 4, 4), 100);
    EXPECT_EQ(greeting.draws, 1);
    EXPECT_EQ(greeting.seen, programs.uniforms.viewProjection);
}

}  // namespace
