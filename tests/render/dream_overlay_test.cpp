#include <gtest/gtest.h>

#include "render/dream_overlay.h"
#include "render/post_processing.h"
#include "render/screen_quad.h"
#include "tests/render/render_fixture.h"

namespace {

using murmur::test::Rgba;

constexpr int kSize = 32;

// Only the first, second and last frames exist in this content.
class DreamOverlayTest : public murmur::test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        murmur::test::writeFlatPng(folder.path() + "dream1.png", 4, 4, {255, 0, 0, 255});
        murmur::test::writeFlatPng(folder.path() + "dream2.png", 4, 4, {0, 255, 0, 255});
        murmur::test::writeFlatPng(folder.path() + "dream90.png", 4, 4, {0, 0, 255, 255});
        set = std::make_unique<murmur::test::ContentSet>(folder.path());
        overlay = std::make_unique<DreamOverlay>(set->content, set->content.findProgram("Sprite"), kSize, kSize);
        glViewport(0, 0, kSize, kSize);
    }

    // The window's colour after drawing the overlay at time t over black.
    Rgba drawnAt(float t) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        overlay->draw(t);
        return murmur::test::readPixel(kSize / 2, kSize / 2);
    }

    murmur::test::ScratchDir folder;
    std::unique_ptr<murmur::test::ContentSet> set;
    std::unique_ptr<DreamOverlay> overlay;
};

TEST_F(DreamOverlayTest, FramesRunAtFifteenPerSecondFromTheDreamOnAndStopAtTheLast) {
    overlay->advance(105.97f, 1.0f);
    EXPECT_EQ(overlay->frame(), 0.0f) << "not yet";
    overlay->advance(106.0f, 0.05f);
    EXPECT_FLOAT_EQ(overlay->frame(), 0.75f);
    EXPECT_EQ(overlay->frameIndex(), 0);
    overlay->advance(106.05f, 0.05f);
    EXPECT_EQ(overlay->frameIndex(), 1);
    overlay->advance(110.0f, 100.0f);
    EXPECT_EQ(overlay->frame(), 89.0f);
    EXPECT_EQ(overlay->frameIndex(), 89);
    overlay->advance(200.0f, 1.0f);
    EXPECT_EQ(overlay->frameIndex(), 89) << "never past the last frame";
    overlay->advance(110.0f, -1000.0f);
    EXPECT_EQ(overlay->frameIndex(), 0) << "nor before the first";
}

TEST_F(DreamOverlayTest, DrawnOnlyWithinItsWindowAndFadedByTheTrack) {
    EXPECT_EQ(overlay->opacityAt(105.97625f), 0.0f);
    EXPECT_FLOAT_EQ(overlay->opacityAt(106.72625f), 0.5f);
    EXPECT_EQ(overlay->opacityAt(109.0f), 1.0f);
    EXPECT_FLOAT_EQ(overlay->opacityAt(111.22625f), 0.5f);

    EXPECT_EQ(drawnAt(105.97f), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(drawnAt(108.0f), (Rgba{255, 0, 0, 255}));
    const Rgba half = drawnAt(106.72625f);
    EXPECT_NEAR(half.r, 128, 2);
    EXPECT_EQ(drawnAt(112.0f), (Rgba{0, 0, 0, 255}));

    overlay->advance(106.0f, 0.1f);  // frame 1.5: "dream2"
    EXPECT_EQ(drawnAt(108.0f), (Rgba{0, 255, 0, 255}));
    overlay->advance(106.0f, 6.0f);  // the last frame, "dream90"
    EXPECT_EQ(drawnAt(110.0f), (Rgba{0, 0, 255, 255}));
    glEnable(GL_DEPTH_TEST);
    overlay->advance(106.0f, -10.0f);  // back to the first, "dream1"
    EXPECT_EQ(drawnAt(110.0f), (Rgba{255, 0, 0, 255}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "the sprite state is put back";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(DreamOverlayTest, AFrameClampsToItsEdgesInsteadOfWrapping) {
    // Red on the left, blue on the right: over the whole window each edge
    // pixel shows its own side, not a blend with the opposite edge.
    murmur::test::ScratchDir halves;
    murmur::test::writePng(halves.path() + "dream1.png", 2, 2,
                           {{255, 0, 0, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}, {0, 0, 255, 255}});
    murmur::test::ContentSet content(halves.path());
    DreamOverlay dream(content.content, content.content.findProgram("Sprite"), kSize, kSize);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    dream.draw(109.0f);
    EXPECT_EQ(murmur::test::readPixel(0, kSize / 2), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(murmur::test::readPixel(kSize - 1, kSize / 2), (Rgba{0, 0, 255, 255}));
}

TEST_F(DreamOverlayTest, AMissingFrameShowsNothing) {
    overlay->advance(106.0f, 0.2f);  // frame 3: "dream4" does not exist
    EXPECT_EQ(overlay->frameTexture(overlay->frameIndex()), nullptr);
    EXPECT_EQ(drawnAt(108.0f), (Rgba{0, 0, 0, 255}));
}

TEST_F(DreamOverlayTest, TheMissingFramesAreNamed) {
    ScreenQuad quad;
    quad.create();
    PostProcessing post;
    std::vector<std::string> problems;
    post.create(set->content, quad, kSize, kSize, &problems);
    std::string dream;
    for (const std::string& p : problems)
        if (p.find("dream frames") != std::string::npos) dream = p;
    std::string missing;
    for (int i = 3; i <= 89; ++i) missing += (i == 3 ? "dream" : ", dream") + std::to_string(i);
    EXPECT_EQ(dream, "87 of the 90 dream frames are missing and show nothing: " + missing);
}

}  // namespace
