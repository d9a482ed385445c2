#include "anim/core/interpolator.h"

template <typename T>
int Interpolator<T>::keyCount() const {
    return static_cast<int>(keys_.size());
}

template <typename T>
void Interpolator<T>::removeKey(int index) {
    if (index < 0 || index >= keyCount()) return;
    keys_.erase(keys_.begin() + index);
}

template <typename T>
void Interpolator<T>::appendKey(float time, const T& value, bool step) {
    keys_.push_back(Key<T>{time, step, value});
}

template <typename T>
void Interpolator<T>::setKey(float time, const T& value, bool step) {
    auto it = keys_.begin();
    while (it != keys_.end() && it->time < time) ++it;
    if (it != keys_.end() && it->time == time) {
        it->value = value;
        it->step = step;
        return;
    }
    keys_.insert(it, Key<T>{time, step, value});
}

template <typename T>
void Interpolator<T>::getKey(int index, float& time, T& value, bool& step) const {
    if (index < 0 || index >= keyCount()) return;
    const Key<T>& key = keys_[static_cast<size_t>(index)];
    time = key.time;
    value = key.value;
    step = key.step;
}

template class Interpolator<int>;
template class Interpolator<float>;
template class Interpolator<bool>;
template class Interpolator<sm::Vec3>;
template class Interpolator<sm::Vec4>;
template class Interpolator<sm::Quat>;
template class Interpolator<std::string>;
