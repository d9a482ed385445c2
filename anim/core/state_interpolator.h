#pragma once

#include "anim/core/interpolator.h"

// Step curve: each key's value holds from its time until the next key's time.
// The step flag is ignored. The search starts at the hint and only moves
// forward.
template <typename T>
class StateInterpolator : public Interpolator<T> {
public:
    int evaluate(float time, T& out, int hint) const override;
};

extern template class StateInterpolator<int>;
extern template class StateInterpolator<float>;
extern template class StateInterpolator<bool>;
extern template class StateInterpolator<sm::Vec3>;
extern template class StateInterpolator<std::string>;
