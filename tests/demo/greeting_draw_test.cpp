#include "content/texture.h"
#include "render/screen_quad.h"
#include "tests/demo/credits_hand.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

namespace {

using murmur::test::addCreditsHand;
using murmur::test::MemoryContent;
using murmur::test::readPixel;
using murmur::test::Rgba;

// A reveal shader for the test: the greeting's texture left of u_progress
// (in quad coordinates 0 to 1), nothing right of it.
const char* kVertex = R"(#version 110
attribute vec2 a_position;
uniform mat4 u_mvp;
varying vec2 v_coords;
void main() {
    v_coords = a_position + vec2(0.5);
    gl_Position = u_mvp * vec4(a_position, 0.0, 1.0);
}
)";
const char* kFragment = R"(#version 110
uniform sampler2D u_tex;
uniform float u_progress;
varying vec2 v_coords;
void main() {
    gl_FragColor = v_coords.x <= u_progress ? texture2D(u_tex, v_coords) : vec4(0.0);
}
)";

class GreetingDraw : public murmur::test::GlTest {
protected:
    void SetUp() override {
        murmur::test::GlTest::SetUp();
        ASSERT_TRUE(quad.create());
        glViewport(0, 0, murmur::test::HeadlessGl::width(), murmur::test::HeadlessGl::height());
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
        glDepthMask(GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        glUseProgram(0);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glBindTexture(GL_TEXTURE_2D, 0);
        murmur::test::GlTest::TearDown();
    }
    ScreenQuad quad;
};

// The hand's axis sweeps 40 to 41 along +X over the window 10 to 10.25 s;
// the greeting is a 2 x 1 green picture, so the quad is 1 wide and 0.5
// high, centred on x = 40 and hanging below the sweep. The view-projection
// moves x = 40.5 to the middle of the 256 x 256 frame: the quad covers
// pixels 0 to 128 across and 64 to 128 up.
TEST_F(GreetingDraw, DrawsTheRevealedPartOfTheGreetingBelowTheHandsSweep) {
    MemoryContent content;
    addCreditsHand(content, {{0.0f, 0}, {10.0f, 1}, {10.25f, 0}}, kPropStep, 4.0f);
    const std::uint8_t green[8] = {0, 255, 0, 255, 0, 255, 0, 255};
    content.texture("greetz0", createTexture(2, 1, 32, green, GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false));
    content.program("CreditSprite", kVertex, kFragment);
    CreditsDance credits(content.manager());
    credits.init();
    std::vector<std::string> problems;
    credits.problems(problems);
    ASSERT_EQ(problems.size(), 11u) << "only greetz1 to greetz11 missing";

    const sm::Mat4 viewProjection = sm::translation({-40.5f, 0.0f, 0.0f});
    credits.drawGreeting(quad, viewProjection);
    EXPECT_EQ(readPixel(32, 96), (Rgba{0, 0, 0, 255})) << "nothing before the first greeting";

    credits.update(10.0f, 0.0f);    // the dance clock starts at 10
    credits.update(10.1f, 0.125f);  // and is at 10.125: half revealed
    ASSERT_FLOAT_EQ(credits.progress(), 0.5f);
    credits.drawGreeting(quad, viewProjection);
    EXPECT_EQ(readPixel(32, 96), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(readPixel(4, 68), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(readPixel(96, 96), (Rgba{0, 0, 0, 255})) << "not revealed yet";
    EXPECT_EQ(readPixel(32, 136), (Rgba{0, 0, 0, 255})) << "above the sweep";
    EXPECT_EQ(readPixel(32, 56), (Rgba{0, 0, 0, 255})) << "below the picture";
    EXPECT_EQ(readPixel(160, 96), (Rgba{0, 0, 0, 255})) << "past the sweep";

    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_FALSE);
    GLint enabled = 1;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, 0);
}

}  // namespace
