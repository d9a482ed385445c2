#include "anim/core/tcb_interpolator.h"

#include "anim/core/curve_search.h"
#include "anim/core/curve_values.h"

template <typename T>
int TCBInterpolator<T>::evaluate(float time, T& out, int hint) const {
    const std::vector<Key<T>>& keys = this->keys_;
    int index = 0;
    if (curve_search::settleEnds(keys, time, out, index)) return index;

    const int n = static_cast<int>(keys.size());
    int i = curve_search::clampHint(hint, n);
    while (i < n && keys[static_cast<size_t>(i)].time < time) ++i;
    if (i > n - 1) i = n - 1;  // keys out of time order
    if (i < 1) i = 1;

    const Key<T>& end = keys[static_cast<size_t>(i)];
    const Key<T>& start = keys[static_cast<size_t>(i - 1)];
    if (end.time == time) {
        out = end.value;
        return i;
    }
    if (start.step) {
        out = start.value;
        return i;
    }

    curve_values::HermiteSegment segment;
    segment.firstSegment = i - 1 == 0;
    segment.lastSegment = i == n - 1;
    segment.startOneSided = segment.firstSegment || keys[static_cast<size_t>(i - 2)].step;
    segment.endOneSided = segment.lastSegment || end.step;
    segment.twoKeys = n == 2;
    segment.setTime((time - start.time) / (end.time - start.time));

    const T& prev = segment.firstSegment ? start.value : keys[static_cast<size_t>(i - 2)].value;
    const T& next = segment.lastSegment ? end.value : keys[static_cast<size_t>(i + 1)].value;
    out = curve_values::hermite(prev, start.value, end.value, next, segment);
    return i;
}

template class TCBInterpolator<int>;
template class TCBInterpolator<float>;
template class TCBInterpolator<sm::Vec3>;
template class TCBInterpolator<sm::Quat>;
