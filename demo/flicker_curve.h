#pragma once

#include "anim/core/linear_interpolator.h"

// The black flicker over the electric shock, as an opacity over loop time:
// 0 until 118.933334 s, then alternating 1 and 0 at intervals of 10 to 30 ms
// drawn from the process's random stream until 131.0552 s, black until
// 134.0552 s, fading out linearly until 138.0552 s, then 0.
//
// Building it draws the intervals from sm::runtimeRand: built first thing in
// the process, it takes the stream's first numbers, and the same flicker
// plays on every run.
class FlickerCurve {
public:
    static constexpr float kStart = 118.933334f;
    static constexpr float kBlack = 131.0552f;
    static constexpr float kFadeStart = 134.0552f;
    static constexpr float kFadeEnd = 138.0552f;

    FlickerCurve();

    // The opacity of the black overlay at loop time t (a scan of ~600 keys).
    float at(float t) const;
    const LinearInterpolator<float>& curve() const { return curve_; }

private:
    LinearInterpolator<float> curve_;
};
