#include "anim/core/linear_interpolator.h"

#include "anim/core/curve_search.h"
#include "anim/core/curve_values.h"

template <typename T>
int LinearInterpolator<T>::evaluate(float time, T& out, int /*hint*/) const {
    const std::vector<Key<T>>& keys = this->keys_;
    int index = 0;
    if (curve_search::settleEnds(keys, time, out, index)) return index;

    const int n = static_cast<int>(keys.size());
    for (int i = 1; i < n; ++i) {
        const Key<T>& key = keys[static_cast<size_t>(i)];
        if (key.time == time) {
            out = key.value;
            return i;
        }
        if (key.time > time) {
            if (key.step) {
                out = key.value;
                return i;
            }
            const Key<T>& before = keys[static_cast<size_t>(i - 1)];
            const float u = (time - before.time) / (key.time - before.time);
            out = curve_values::lerp(before.value, key.value, u);
            return i;
        }
    }
    // Reached only with keys out of time order.
    out = keys.back().value;
    return n - 1;
}

template class LinearInterpolator<int>;
template class LinearInterpolator<float>;
template class LinearInterpolator<sm::Vec3>;
template class LinearInterpolator<sm::Vec4>;
