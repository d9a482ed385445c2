#pragma once

#include "anim/core/interpolator.h"

// Straight-line blend between neighbouring keys. A key with the step flag set
// is reached immediately after the previous key's time. Integer values are
// blended in float and truncated toward zero. The hint is not used: every call
// scans from the first key.
template <typename T>
class LinearInterpolator : public Interpolator<T> {
public:
    int evaluate(float time, T& out, int hint) const override;
};

extern template class LinearInterpolator<int>;
extern template class LinearInterpolator<float>;
extern template class LinearInterpolator<sm::Vec3>;
extern template class LinearInterpolator<sm::Vec4>;
