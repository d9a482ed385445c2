#pragma once

#include "anim/core/interpolator.h"

// Cubic Hermite spline through the key values with Catmull-Rom tangents
// (tension, continuity and bias 0), per component, with natural end
// conditions on the first and last segment. A key with the step flag set
// holds its value until the next key. Quaternions are treated as four
// independent floats and are not normalised. The search starts at the hint
// and only moves forward.
template <typename T>
class TCBInterpolator : public Interpolator<T> {
public:
    int evaluate(float time, T& out, int hint) const override;
};

extern template class TCBInterpolator<int>;
extern template class TCBInterpolator<float>;
extern template class TCBInterpolator<sm::Vec3>;
extern template class TCBInterpolator<sm::Quat>;
