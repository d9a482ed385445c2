#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "content/sprite_renderer.h"
#include "tests/content/image_files.h"
#include "tests/support/gl_context.h"

namespace {

using murmur::test::HeadlessGl;
using murmur::test::Rgba;

const std::string kEffects = MURMUR_SOURCE_DIR "/data/effects/";

// One unit per pixel of the 256 x 256 default frame buffer, moved by (dx, dy).
sm::Mat4 pixelSpace(float dx, float dy) {
    sm::Mat4 m;
    m.a[0] = 2.0f / HeadlessGl::width();
    m.a[5] = 2.0f / HeadlessGl::height();
    m.a[10] = -0.01f;
    m.a[12] = -1.0f + dx * m.a[0];
    m.a[13] = -1.0f + dy * m.a[5];
    return m;
}

class SpriteRendererTest : public murmur::test::GlTest {
protected:
    void SetUp() override {
        murmur::test::GlTest::SetUp();
        program = createProgram(kEffects + "Sprite.vpr", kEffects + "Sprite.fpr");
        ASSERT_TRUE(program);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override {
        glUseProgram(0);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        murmur::test::GlTest::TearDown();
    }
    std::unique_ptr<ShaderProgram> program;
};

TEST_F(SpriteRendererTest, EndRestoresDepthTestAndBlendingInEveryCombination) {
    SpriteRenderer sprites(program.get(), pixelSpace(0, 0));
    for (const bool depth : {false, true}) {
        for (const bool blend : {false, true}) {
            depth ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
            blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
            sprites.begin();
            EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << depth << blend;
            EXPECT_TRUE(glIsEnabled(GL_BLEND)) << depth << blend;
            sprites.end();
            EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST) == GL_TRUE, depth) << depth << blend;
            EXPECT_EQ(glIsEnabled(GL_BLEND) == GL_TRUE, blend) << depth << blend;
            for (GLuint slot = 0; slot <= 5; ++slot) {
                GLint enabled = 1;
                glGetVertexAttribiv(slot, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
                EXPECT_EQ(enabled, 0) << "array " << slot;
            }
        }
    }
}

TEST_F(SpriteRendererTest, ATintedQuadCoversExactlyItsPixels) {
    const std::uint8_t white[4] = {255, 255, 255, 255};
    const auto texture = createTexture(1, 1, 32, white, GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false);
    ASSERT_TRUE(texture);
    SpriteRenderer sprites(program.get(), pixelSpace(10, 20));
    sprites.begin();
    sprites.drawTinted(texture.get(), {1.0f, 0.5f, 0.0f, 1.0f}, 32, 16);
    sprites.draw(nullptr, 64, 64);  // nothing to draw
    sprites.end();
    const auto pixels = murmur::test::readPixels(0, 0, 64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const Rgba p = pixels[static_cast<std::size_t>(y * 64 + x)];
            const bool inside = x >= 10 && x < 42 && y >= 20 && y < 36;
            ASSERT_EQ(p.r, inside ? 255 : 0) << x << "," << y;
            ASSERT_NEAR(p.g, inside ? 128 : 0, 1) << x << "," << y;
            ASSERT_EQ(p.b, 0) << x << "," << y;
        }
    }
}

// Others share the program and relink it after this renderer was made, and
// GL does not promise that uniform locations survive a relink. Here the
// relink brings a fragment shader with more uniforms, which moves them.
TEST_F(SpriteRendererTest, UniformsAreFoundAgainAfterTheProgramIsRelinked) {
    const std::uint8_t white[4] = {255, 255, 255, 255};
    const auto texture = createTexture(1, 1, 32, white, GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false);
    SpriteRenderer sprites(program.get(), pixelSpace(0, 0));
    const GLint before = program->uniformLocation("u_color");

    const char* source =
        "#version 110\n"
        "uniform vec4 u_aaa[7];\n"
        "uniform float u_abb;\n"
        "uniform sampler2D u_tex;\n"
        "uniform vec4 u_color;\n"
        "varying vec2 v_coords;\n"
        "void main() { gl_FragColor = texture2D(u_tex, v_coords) * u_color + u_aaa[6] * u_abb; }\n";
    const GLuint wider = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(wider, 1, &source, nullptr);
    glCompileShader(wider);
    glDetachShader(program->program, program->fragmentShader);
    glDeleteShader(program->fragmentShader);
    glAttachShader(program->program, wider);
    program->fragmentShader = wider;
    ASSERT_TRUE(program->bindAttributes({{"a_position", 0}, {"a_coords", 1}}));
    ASSERT_NE(program->uniformLocation("u_color"), before) << "the relink must move the uniform for this test";

    sprites.begin();
    sprites.drawTinted(texture.get(), {0.0f, 1.0f, 0.0f, 1.0f}, 16, 16);
    sprites.end();
    EXPECT_EQ(murmur::test::readPixel(8, 8), (Rgba{0, 255, 0, 255}));
}

TEST_F(SpriteRendererTest, HalfTransparentTintBlendsOverWhatIsThere) {
    const std::uint8_t white[4] = {255, 255, 255, 255};
    const auto texture = createTexture(1, 1, 32, white, GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SpriteRenderer sprites(program.get(), pixelSpace(0, 0));
    sprites.begin();
    sprites.drawTinted(texture.get(), {1.0f, 0.0f, 0.0f, 0.5f}, 8, 8);
    sprites.end();
    const Rgba p = murmur::test::readPixel(4, 4);
    EXPECT_NEAR(p.r, 128, 1);
    EXPECT_EQ(p.g, 0);
    EXPECT_NEAR(p.b, 127, 1);
}

TEST_F(SpriteRendererTest, ContentTexturesAreFlippedAndFontBitmapsAreNot) {
    // Four rows: two red on top of the picture, two blue below.
    murmur::test::ScratchDir dir;
    murmur::test::writeRgbPng(dir.file("rb.png"), 1, 4, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});
    const auto content = loadTexture(dir.file("rb.png"));
    const auto font = loadTextureNearest(dir.file("rb.png"));
    ASSERT_TRUE(content && font);
    SpriteRenderer sprites(program.get(), pixelSpace(0, 0));
    sprites.begin();
    sprites.draw(content.get(), 64, 64);
    sprites.end();
    sprites.setMvp(pixelSpace(100, 0));
    sprites.begin();
    sprites.draw(font.get(), 64, 64);
    sprites.end();
    // v = 0 is the bottom of the quad: blue (the picture's bottom) for the
    // content texture, red (the picture's top row) for the font bitmap.
    EXPECT_EQ(murmur::test::readPixel(32, 10), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(murmur::test::readPixel(32, 53), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(murmur::test::readPixel(132, 10), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(murmur::test::readPixel(132, 53), (Rgba{0, 0, 255, 255}));
}

}  // namespace
