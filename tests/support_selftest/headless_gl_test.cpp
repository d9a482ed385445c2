#include "tests/support/gl_context.h"

namespace murmur::test {
namespace {

class HeadlessGlTest : public GlTest {};

TEST_F(HeadlessGlTest, ClearColourReadsBack) {
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const Rgba p = readPixel(10, 10);
    EXPECT_EQ(p.r, 255);
    EXPECT_NEAR(p.g, 128, 1);
    EXPECT_EQ(p.b, 0);
    EXPECT_EQ(p.a, 255);
}

TEST_F(HeadlessGlTest, OffersShadersAndFramebuffers) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
    ASSERT_NE(version, nullptr);
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    EXPECT_NE(fbo, 0u);
    glDeleteFramebuffers(1, &fbo);
}

}  // namespace
}  // namespace murmur::test
