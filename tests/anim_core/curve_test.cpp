#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "anim/core/linear_interpolator.h"
#include "anim/core/state_interpolator.h"
#include "anim/core/tcb_interpolator.h"

namespace {

template <typename Curve>
Curve curveOf(std::initializer_list<std::pair<float, float>> keys) {
    Curve curve;
    for (auto [time, value] : keys) curve.appendKey(time, value, false);
    return curve;
}

template <typename T>
T at(const IInterpolator<T>& curve, float time, int hint = 0) {
    T out{};
    curve.evaluate(time, out, hint);
    return out;
}

TEST(Curves, TwoKeysAgreeOnTheEndsAndDifferInBetween) {
    const auto linear = curveOf<LinearInterpolator<float>>({{0, 0}, {1, 10}});
    const auto tcb = curveOf<TCBInterpolator<float>>({{0, 0}, {1, 10}});
    const auto state = curveOf<StateInterpolator<float>>({{0, 0}, {1, 10}});
    EXPECT_EQ(at<float>(linear, 0.5f), 5.0f);
    EXPECT_EQ(at<float>(tcb, 0.5f), 5.0f);
    EXPECT_EQ(at<float>(state, 0.5f), 0.0f);
    for (const IInterpolator<float>* curve : {static_cast<const IInterpolator<float>*>(&linear),
                                              static_cast<const IInterpolator<float>*>(&tcb),
                                              static_cast<const IInterpolator<float>*>(&state)}) {
        float out = -1.0f;
        EXPECT_EQ(curve->evaluate(1.0f, out, 0), 1);
        EXPECT_EQ(out, 10.0f);
        EXPECT_EQ(curve->evaluate(-3.0f, out, 0), 0);
        EXPECT_EQ(out, 0.0f);
        EXPECT_EQ(curve->evaluate(7.0f, out, 0), 1);
        EXPECT_EQ(out, 10.0f);
    }
    // Two-key TCB is exactly linear.
    EXPECT_EQ(at<float>(tcb, 0.25f), at<float>(linear, 0.25f));
}

TEST(Curves, EmptyCurveLeavesTheOutputUntouched) {
    const LinearInterpolator<sm::Vec3> linear;
    const TCBInterpolator<sm::Quat> tcb;
    const StateInterpolator<std::string> state;
    sm::Vec3 v{1, 2, 3};
    sm::Quat q{0.5f, 0.5f, 0.5f, 0.5f};
    std::string s = "kept";
    EXPECT_EQ(linear.evaluate(1.0f, v, 0), 0);
    EXPECT_EQ(tcb.evaluate(1.0f, q, 4), 0);
    EXPECT_EQ(state.evaluate(1.0f, s, 0), 0);
    EXPECT_EQ(v, (sm::Vec3{1, 2, 3}));
    EXPECT_EQ(q, (sm::Quat{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(s, "kept");
}

TEST(Curves, LinearStepKeyJumpsRightAfterThePreviousKey) {
    LinearInterpolator<float> curve;
    curve.appendKey(0.0f, 0.0f, false);
    curve.appendKey(1.0f, 10.0f, true);
    curve.appendKey(2.0f, 20.0f, false);
    EXPECT_EQ(at<float>(curve, 0.0f), 0.0f);
    EXPECT_EQ(at<float>(curve, 0.001f), 10.0f);
    EXPECT_EQ(at<float>(curve, 0.99f), 10.0f);
    EXPECT_EQ(at<float>(curve, 1.5f), 15.0f);
}

TEST(Curves, LinearIgnoresTheHintAndBlendsEveryComponent) {
    LinearInterpolator<sm::Vec4> curve;
    curve.appendKey(0.0f, {0, 0, 0, 0}, false);
    curve.appendKey(1.0f, {4, 8, -4, 1}, false);
    curve.appendKey(3.0f, {0, 0, 0, 0}, false);
    sm::Vec4 out;
    EXPECT_EQ(curve.evaluate(0.25f, out, 2), 1);  // a hint past the time is not used
    EXPECT_EQ(out, (sm::Vec4{1, 2, -1, 0.25f}));
    EXPECT_EQ(curve.evaluate(1.0f, out, 0), 1);
    EXPECT_EQ(out, (sm::Vec4{4, 8, -4, 1}));
}

TEST(Curves, IntegerLinearTruncatesTowardZero) {
    const auto up = curveOf<LinearInterpolator<int>>({{0, 0}, {1, 3}});
    const auto down = curveOf<LinearInterpolator<int>>({{0, 0}, {1, -3}});
    EXPECT_EQ(at<int>(up, 0.5f), 1);
    EXPECT_EQ(at<int>(down, 0.5f), -1);
}

TEST(Curves, TcbFirstSegmentUsesTheNaturalEndCondition) {
    const auto curve = curveOf<TCBInterpolator<float>>({{0, 0}, {1, 1}, {2, 4}});
    EXPECT_EQ(at<float>(curve, 0.5f), 0.3125f);
}

TEST(Curves, TcbInteriorAndLastSegments) {
    const auto curve = curveOf<TCBInterpolator<float>>({{0, 0}, {1, 1}, {2, 4}, {3, 9}});
    // Interior: Catmull-Rom tangents 0.5·(4 − 0) and 0.5·(9 − 1).
    EXPECT_EQ(at<float>(curve, 1.5f), 2.25f);
    // Last: T1 = 1.5·(9 − 4) − 0.5·T0 with T0 = 0.5·(9 − 1).
    float out = 0.0f;
    EXPECT_EQ(curve.evaluate(2.5f, out, 0), 3);
    EXPECT_EQ(out, 6.3125f);
}

TEST(Curves, TcbStepFlagsHoldValuesAndMakeTangentsOneSided) {
    TCBInterpolator<float> first;
    first.appendKey(0.0f, 2.0f, true);
    first.appendKey(1.0f, 5.0f, false);
    first.appendKey(2.0f, 0.0f, false);
    EXPECT_EQ(at<float>(first, 0.5f), 2.0f);
    EXPECT_EQ(at<float>(first, 0.999f), 2.0f);
    EXPECT_EQ(at<float>(first, 1.0f), 5.0f);

    // A stepped end key: one-sided incoming tangent 1.5·(4 − 1), no correction,
    // and the value holds after it.
    TCBInterpolator<float> end;
    end.appendKey(0.0f, 0.0f, false);
    end.appendKey(1.0f, 1.0f, false);
    end.appendKey(2.0f, 4.0f, true);
    end.appendKey(3.0f, 9.0f, false);
    EXPECT_EQ(at<float>(end, 1.5f), 2.1875f);
    EXPECT_EQ(at<float>(end, 2.5f), 4.0f);

    // A stepped key two before the segment: one-sided outgoing tangent.
    TCBInterpolator<float> before;
    before.appendKey(0.0f, 0.0f, true);
    before.appendKey(1.0f, 1.0f, false);
    before.appendKey(2.0f, 4.0f, false);
    before.appendKey(3.0f, 9.0f, false);
    EXPECT_EQ(at<float>(before, 1.5f), 2.5625f);
}

TEST(Curves, IntegerTcbTruncatesEveryTangent) {
    // Last segment: T0 = 4, T1 = trunc(10.5) = 10, corrected to trunc(10 − 2) = 8,
    // giving exactly 4 (float tangents would give 3.9375).
    EXPECT_EQ(at<int>(curveOf<TCBInterpolator<int>>({{0, 0}, {1, 1}, {2, 8}}), 1.5f), 4);
    // Negative tangents truncate toward zero: T1 = trunc(−3.5) = −3, T0 = trunc(3 + 1.5) = 4.
    EXPECT_EQ(at<int>(curveOf<TCBInterpolator<int>>({{0, 0}, {1, 2}, {2, -7}}), 0.5f), 1);
}

TEST(Curves, TcbQuaternionIsPerComponentAndNotNormalised) {
    TCBInterpolator<sm::Quat> curve;
    curve.appendKey(0.0f, {1, 0, 0, 0}, false);
    curve.appendKey(1.0f, {0, 1, 0, 0}, false);
    sm::Quat out;
    curve.evaluate(0.5f, out, 0);
    EXPECT_EQ(out, (sm::Quat{0.5f, 0.5f, 0.0f, 0.0f}));
}

TEST(Curves, StateHoldsEachKeyFromItsTimeAndIgnoresSteps) {
    StateInterpolator<std::string> curve;
    curve.appendKey(0.0f, "a", false);
    curve.appendKey(1.0f, "b", true);
    curve.appendKey(2.0f, "c", false);
    std::string out;
    EXPECT_EQ(curve.evaluate(0.999f, out, 0), 0);
    EXPECT_EQ(out, "a");
    EXPECT_EQ(curve.evaluate(1.0f, out, 0), 1);
    EXPECT_EQ(out, "b");
    EXPECT_EQ(curve.evaluate(1.5f, out, 1), 1);
    EXPECT_EQ(out, "b");

    StateInterpolator<bool> flag;
    flag.appendKey(0.0f, false, false);
    flag.appendKey(0.5f, true, false);
    flag.appendKey(0.7f, false, false);
    EXPECT_TRUE(at<bool>(flag, 0.6f));
    EXPECT_FALSE(at<bool>(flag, 0.7f));
}

TEST(Curves, ForwardHintsFollowPlaybackAndStaleHintsNeedAReset) {
    TCBInterpolator<float> tcb;
    StateInterpolator<int> state;
    for (int i = 0; i < 10; ++i) {
        tcb.appendKey(static_cast<float>(i), static_cast<float>(i * i * i), false);
        state.appendKey(static_cast<float>(i), i, false);
    }
    int tcbHint = 0, stateHint = 0;
    for (float t = 0.0f; t < 9.0f; t += 0.37f) {
        float viaHint = 0.0f;
        int stepViaHint = 0;
        tcbHint = tcb.evaluate(t, viaHint, tcbHint);
        stateHint = state.evaluate(t, stepViaHint, stateHint);
        EXPECT_EQ(viaHint, at<float>(tcb, t)) << t;
        EXPECT_EQ(stepViaHint, at<int>(state, t)) << t;
    }
    // A hint from 7.5 s used at 2.5 s evaluates the wrong segment...
    float stale = 0.0f;
    const int late = tcb.evaluate(7.5f, stale, 0);
    tcb.evaluate(2.5f, stale, late);
    EXPECT_NE(stale, at<float>(tcb, 2.5f));
    int held = 0;
    state.evaluate(2.5f, held, state.evaluate(7.5f, held, 0));
    EXPECT_EQ(held, 6);  // the key before the stale hint 7
    // ...and a hint reset to 0 gives the right one again.
    EXPECT_NEAR(at<float>(tcb, 2.5f, 0), 15.625f, 0.5f);
}

TEST(Curves, HintsOutsideTheKeysStayInsideThem) {
    auto tcb = curveOf<TCBInterpolator<float>>({{0, 0}, {1, 1}, {2, 4}});
    auto state = curveOf<StateInterpolator<float>>({{0, 0}, {1, 1}, {2, 4}});
    float out = 0.0f;
    EXPECT_LE(tcb.evaluate(0.5f, out, 50), 2);
    EXPECT_TRUE(std::isfinite(out));
    EXPECT_EQ(tcb.evaluate(0.5f, out, -4), 1);
    EXPECT_EQ(out, 0.3125f);
    EXPECT_LE(state.evaluate(0.5f, out, 50), 2);
    EXPECT_EQ(state.evaluate(0.5f, out, -4), 0);
    EXPECT_EQ(out, 0.0f);
}

TEST(Curves, SetKeyReplacesAtAnEqualTimeAndInsertsInOrder) {
    LinearInterpolator<float> curve;
    curve.setKey(2.0f, 20.0f, false);
    curve.setKey(0.0f, 0.0f, false);
    curve.setKey(1.0f, 10.0f, false);
    curve.setKey(3.0f, 30.0f, false);
    ASSERT_EQ(curve.keyCount(), 4);
    curve.setKey(1.0f, 11.0f, true);
    ASSERT_EQ(curve.keyCount(), 4);
    for (int i = 0; i < 4; ++i) {
        float time = -1.0f, value = -1.0f;
        bool step = false;
        curve.getKey(i, time, value, step);
        EXPECT_EQ(time, static_cast<float>(i));
        EXPECT_EQ(value, i == 1 ? 11.0f : 10.0f * static_cast<float>(i));
        EXPECT_EQ(step, i == 1);
    }
}

TEST(Curves, AppendKeepsOrderAndRemoveShiftsLaterKeys) {
    StateInterpolator<sm::Vec3> curve;
    curve.appendKey(5.0f, {5, 0, 0}, false);
    curve.appendKey(1.0f, {1, 0, 0}, false);  // appended as given, not sorted
    curve.appendKey(7.0f, {7, 0, 0}, true);
    curve.removeKey(1);
    ASSERT_EQ(curve.keyCount(), 2);
    float time = 0.0f;
    sm::Vec3 value;
    bool step = false;
    curve.getKey(1, time, value, step);
    EXPECT_EQ(time, 7.0f);
    EXPECT_EQ(value, (sm::Vec3{7, 0, 0}));
    EXPECT_TRUE(step);
    // Indices outside the keys are ignored rather than corrupting memory.
    curve.removeKey(2);
    curve.removeKey(-1);
    EXPECT_EQ(curve.keyCount(), 2);
    time = -1.0f;
    curve.getKey(9, time, value, step);
    EXPECT_EQ(time, -1.0f);
}

}  // namespace
