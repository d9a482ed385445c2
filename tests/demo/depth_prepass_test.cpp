// The scene pass lays the opaque submeshes' depth down before it shades
// them, so that each pixel is shaded once: the show's pictures stay the
// bytes they were without it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/demo_controller.h"
#include "tests/demo/show_data.h"
#include "tests/support/gl_context.h"

namespace {

using murmur::test::builtContent;
using murmur::test::openShow;
using murmur::test::readPixels;
using murmur::test::Rgba;

constexpr int kWidth = 256;
constexpr int kHeight = 144;
constexpr float kFrameMs = 1000.0f / 30.0f;

class DepthPrepassTest : public murmur::test::GlTest {};

std::vector<Rgba> drawn(DemoController& show, bool prepass) {
    show.useDepthPrepass(prepass);
    show.draw();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    return readPixels(0, 0, kWidth, kHeight);
}

std::size_t differing(const std::vector<Rgba>& a, const std::vector<Rgba>& b) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) count += a[i] == b[i] ? 0 : 1;
    return count + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

// Across the show (the desk, the drink, the dream, the flicker, the run, the
// flip, a greeting, the end fade), each frame drawn both ways.
TEST_F(DepthPrepassTest, ThePicturesAreTheSameAsWithoutIt) {
    auto show = openShow(builtContent(), nullptr, kWidth, kHeight);
    ASSERT_TRUE(show);
    ASSERT_TRUE(show->loadProblems().empty()) << show->loadProblems().front();
    float ms = 0.0f;
    for (const float seconds : {20.0f, 70.0f, 108.5f, 121.0f, 150.0f, 199.0f, 222.0f, 257.0f}) {
        for (; ms < seconds * 1000.0f; ms += kFrameMs) {
            show->update(ms, kFrameMs);
            show->advanceFrame(ms, kFrameMs);
        }
        show->update(ms, kFrameMs);
        show->advanceFrame(ms, kFrameMs);
        const std::vector<Rgba> without = drawn(*show, false);
        const std::vector<Rgba> with = drawn(*show, true);
        EXPECT_EQ(differing(without, with), 0u) << "at " << ms / 1000.0f << " s";
        ms += kFrameMs;
    }
}

}  // namespace
