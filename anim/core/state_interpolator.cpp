#include "anim/core/state_interpolator.h"

#include "anim/core/curve_search.h"

template <typename T>
int StateInterpolator<T>::evaluate(float time, T& out, int hint) const {
    const std::vector<Key<T>>& keys = this->keys_;
    int index = 0;
    if (curve_search::settleEnds(keys, time, out, index)) return index;

    const int n = static_cast<int>(keys.size());
    int p = curve_search::clampHint(hint, n);
    while (p < n && keys[static_cast<size_t>(p)].time <= time) ++p;
    if (p < 1) p = 1;
    out = keys[static_cast<size_t>(p - 1)].value;
    return p - 1;
}

template class StateInterpolator<int>;
template class StateInterpolator<float>;
template class StateInterpolator<bool>;
template class StateInterpolator<sm::Vec3>;
template class StateInterpolator<std::string>;
