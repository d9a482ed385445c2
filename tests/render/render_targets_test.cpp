#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "content/shader_program.h"
#include "render/render_targets.h"
#include "tests/support/gl_context.h"

namespace {

namespace fs = std::filesystem;
using murmur::test::Rgba;

// Compiles a program from source text through files, as content programs are.
std::unique_ptr<ShaderProgram> programFromText(const std::string& vertex, const std::string& fragment) {
    const fs::path dir = fs::temp_directory_path() / ("murmur-render-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "p.vpr", std::ios::binary) << vertex;
    std::ofstream(dir / "p.fpr", std::ios::binary) << fragment;
    auto program = createProgram((dir / "p.vpr").string(), (dir / "p.fpr").string());
    fs::remove_all(dir);
    return program;
}

// The screen quad scaled to fill the viewport, at depth 0 (0.5 in the
// depth buffer).
const char* kFullScreenVertex = R"(#version 110
attribute vec2 a_position;
void main() { gl_Position = vec4(a_position * 2.0, 0.0, 1.0); }
)";

class RenderTargetTest : public murmur::test::GlTest {
protected:
    void TearDown() override {
        glUseProgram(0);
        ScreenQuad::unbind();
        FrameBuffer::unbind();
        glDisable(GL_DEPTH_TEST);
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
        murmur::test::GlTest::TearDown();
    }
};

TEST(PixelOrtho, MapsTheTargetRectangleOntoClipSpace) {
    const sm::Mat4 m = pixelOrthoMatrix(640.0f, 480.0f);
    const sm::Vec3 low = sm::transformPoint(m, {0, 0, 100});
    const sm::Vec3 high = sm::transformPoint(m, {640, 480, -100});
    EXPECT_FLOAT_EQ(low.x, -1);
    EXPECT_FLOAT_EQ(low.y, -1);
    EXPECT_FLOAT_EQ(low.z, -1);
    EXPECT_FLOAT_EQ(high.x, 1);
    EXPECT_FLOAT_EQ(high.y, 1);
    EXPECT_FLOAT_EQ(high.z, 1);
}

TEST_F(RenderTargetTest, OneDrawWritesBothColourAttachments) {
    const int w = 48, h = 40;
    const auto scene = createRenderTexture(w, h, GL_NEAREST);
    const auto distortion = createRenderTexture(w, h, GL_NEAREST);
    FrameBuffer target;
    ASSERT_TRUE(target.create(w, h, 32));
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0) << "creation leaves frame buffer 0 bound";
    target.attachColor(*scene, 0);
    EXPECT_TRUE(target.attachColor(*distortion, 1));
    EXPECT_EQ(target.colorTexture, distortion->name);

    const auto program = programFromText(kFullScreenVertex, R"(#version 110
void main() {
    gl_FragData[0] = vec4(1.0, 0.0, 0.0, 1.0);
    gl_FragData[1] = vec4(0.0, 1.0, 0.0, 1.0);
}
)");
    ASSERT_TRUE(program);
    ASSERT_TRUE(program->bindAttributes({{"a_position", 0}}));
    ScreenQuad quad;
    ASSERT_TRUE(quad.create());

    target.bind();
    const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, buffers);
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(program->program);
    quad.bind();
    ScreenQuad::draw();
    ScreenQuad::unbind();

    glReadBuffer(GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(murmur::test::readPixel(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(murmur::test::readPixel(w - 1, h - 1), (Rgba{255, 0, 0, 255}));
    glReadBuffer(GL_COLOR_ATTACHMENT1);
    EXPECT_EQ(murmur::test::readPixel(0, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(murmur::test::readPixel(w - 1, h - 1), (Rgba{0, 255, 0, 255}));
}

TEST_F(RenderTargetTest, HalfSizedTargetsOfAnOddWindowAreTruncated) {
    EXPECT_EQ(halfSize(1023), 511);
    EXPECT_EQ(halfSize(767), 383);
    EXPECT_EQ(halfSize(1024), 512);
    const auto glow = createRenderTexture(halfSize(1023), halfSize(767), GL_LINEAR);
    FrameBuffer target;
    target.create(halfSize(1023), halfSize(767), 32);
    EXPECT_TRUE(target.attachColor(*glow));
    EXPECT_EQ(target.width, 511);
    EXPECT_EQ(target.height, 383);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 511);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
}

TEST_F(RenderTargetTest, ShadowTargetFollowsTheWindowAndTakesDepth) {
    ShadowTarget shadow;
    ScreenQuad quad;
    ASSERT_TRUE(createStartupTargets(640, 480, shadow, quad));
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    ASSERT_TRUE(shadow.depth && shadow.color);
    EXPECT_EQ(shadow.depth->width, 640);
    EXPECT_EQ(shadow.depth->height, 480);
    EXPECT_EQ(shadow.frameBuffer.width, 640);
    EXPECT_EQ(shadow.frameBuffer.colorTexture, shadow.color->name);

    // The screen quad's buffer holds the four corners.
    float corners[8] = {};
    glBindBuffer(GL_ARRAY_BUFFER, quad.buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof corners, corners);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    const float expected[8] = {-0.5f, 0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f, -0.5f};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(corners[i], expected[i]) << i;

    // A depth pass lands in the depth texture.
    const auto program = programFromText(kFullScreenVertex, "#version 110\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    ASSERT_TRUE(program && program->bindAttributes({{"a_position", 0}}));
    shadow.frameBuffer.bind();
    glViewport(0, 0, 640, 480);
    glEnable(GL_DEPTH_TEST);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glUseProgram(program->program);
    quad.bind();
    ScreenQuad::draw();
    ScreenQuad::unbind();
    FrameBuffer::unbind();
    std::vector<float> depth(640 * 480, -1.0f);
    glBindTexture(GL_TEXTURE_2D, shadow.depth->name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_NEAR(depth[0], 0.5f, 1e-4f);
    EXPECT_NEAR(depth[640 * 480 - 1], 0.5f, 1e-4f);
}

}  // namespace
