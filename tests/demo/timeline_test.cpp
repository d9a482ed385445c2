#include "demo/camera_cuts.h"
#include "demo/end_fade.h"
#include "demo/flicker_curve.h"
#include "math/runtime_random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The flicker as a fresh process builds it: from the stream's first state.
class FlickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = sm::runtimeRandState();
        sm::setRuntimeRandState(1);
    }
    void TearDown() override { sm::setRuntimeRandState(saved_); }

    float keyTime(const FlickerCurve& flicker, int index) {
        float time = -1.0f, value = 0.0f;
        bool step = false;
        flicker.curve().getKey(index, time, value, step);
        return time;
    }

private:
    std::uint32_t saved_ = 1;
};

TEST_F(FlickerTest, TheIntervalsTakeTheFirstNumbersOfTheStreamAndLeaveTheRestToWhatFollows) {
    const FlickerCurve flicker;
    // The stream from state 1 begins 41, 18467, 6334, 26500: intervals of
    // 10 ms plus up to 20 ms scaled by each.
    const float expected[] = {0.01f + 0.02f * 41 / 32767, 0.01f + 0.02f * 18467 / 32767,
                              0.01f + 0.02f * 6334 / 32767, 0.01f + 0.02f * 26500 / 32767};
    EXPECT_EQ(keyTime(flicker, 1), FlickerCurve::kStart);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(keyTime(flicker, i + 2) - keyTime(flicker, i + 1), expected[i], 2e-5f) << "interval " << i;

    // One number per flicker key: what the particles draw next continues the
    // stream right after them.
    const int draws = flicker.curve().keyCount() - 4;
    std::uint32_t state = 1;
    for (int i = 0; i < draws; ++i) state = state * 214013u + 2531011u;
    EXPECT_EQ(sm::runtimeRandState(), state);
}

TEST_F(FlickerTest, AlternatesEvery10To30MillisecondsThenHoldsBlackAndFadesOut) {
    const FlickerCurve flicker;
    const int keys = flicker.curve().keyCount();
    EXPECT_GT(keys, 580);
    EXPECT_LT(keys, 640);
    for (int i = 2; i < keys - 3; ++i) {
        const float interval = keyTime(flicker, i) - keyTime(flicker, i - 1);
        ASSERT_GE(interval, 0.0099f) << i;
        ASSERT_LE(interval, 0.0301f) << i;
    }
    EXPECT_LT(keyTime(flicker, keys - 4), FlickerCurve::kBlack);

    EXPECT_EQ(flicker.at(0.0f), 0.0f);
    EXPECT_EQ(flicker.at(100.0f), 0.0f);
    EXPECT_EQ(flicker.at(FlickerCurve::kStart), 0.0f);
    // Right after a key the value is the next key's: on, off, on, ...
    for (int i = 2; i < 12; ++i) {
        const float mid = 0.5f * (keyTime(flicker, i - 1) + keyTime(flicker, i));
        EXPECT_EQ(flicker.at(mid), i % 2 == 0 ? 1.0f : 0.0f) << i;
    }
    EXPECT_EQ(flicker.at(131.5f), 1.0f);
    EXPECT_EQ(flicker.at(134.0f), 1.0f);
    EXPECT_NEAR(flicker.at(136.0552f), 0.5f, 1e-4f);
    EXPECT_EQ(flicker.at(FlickerCurve::kFadeEnd), 0.0f);
    EXPECT_EQ(flicker.at(250.0f), 0.0f);
}

CameraCuts camerasEndingAt(std::initializer_list<float> ends) {
    CameraCuts cuts;
    for (float end : ends) {
        cuts.cameras.push_back(std::make_unique<AnimCamera>());
        cuts.cameras.back()->endTime = end;
    }
    return cuts;
}

TEST(CameraCuts, CutOnTheFirstTimeStrictlyPastTheEndOnlyForwardAndKeepTheLastCamera) {
    CameraCuts cuts = camerasEndingAt({10.0f, 20.0f});
    AnimCamera* first = cuts.cameras[0].get();
    AnimCamera* second = cuts.cameras[1].get();
    EXPECT_EQ(cuts.cut(0.0f), first);
    EXPECT_EQ(cuts.cut(10.0f), first);
    EXPECT_EQ(cuts.cut(10.001f), second);
    EXPECT_EQ(cuts.cut(25.0f), second);
    EXPECT_EQ(cuts.index(), 2u);
    EXPECT_EQ(cuts.cut(5.0f), second) << "the index never moves back";

    // A jump passes several cameras at once; an empty list has none.
    CameraCuts four = camerasEndingAt({1.0f, 2.0f, 3.0f, 4.0f});
    EXPECT_EQ(four.cut(3.5f), four.cameras[3].get());
    EXPECT_EQ(four.index(), 3u);
    CameraCuts none;
    EXPECT_EQ(none.cut(0.0f), nullptr);
    EXPECT_EQ(none.cut(100.0f), nullptr);
    EXPECT_EQ(none.index(), 0u);
}

TEST(EndFade, IsHalfwayAt257SecondsAndFullTwoSecondsInWhateverTheFrameRate) {
    for (float fps : {24.0f, 60.0f, 144.0f}) {
        EndFade fade;
        const float dt = 1.0f / fps;
        float t = 250.0f;
        bool drawnEarly = false;
        for (; t < 256.0f; t += dt) drawnEarly |= fade.advance(t, dt);
        EXPECT_FALSE(drawnEarly);
        EXPECT_EQ(fade.alpha(), 0.0f);
        for (; t <= 257.0f; t += dt) EXPECT_TRUE(fade.advance(t, dt));
        EXPECT_NEAR(fade.alpha(), 0.5f, 0.5f * dt + 1e-3f) << fps << " frames per second";
        for (; t <= 258.1f; t += dt) fade.advance(t, dt);
        EXPECT_EQ(fade.alpha(), 1.0f) << fps << " frames per second";
    }
}

}  // namespace
