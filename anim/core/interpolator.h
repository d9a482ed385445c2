#pragma once

#include <string>
#include <vector>

#include "anim/core/key.h"
#include "anim/core/keys_container.h"
#include "math/quat.h"
#include "math/vec.h"

// A keyframe curve of values of type T.
//
// evaluate(time, out, hint) writes the value at time into out and returns a
// key index that the caller passes back as the hint of its next call (callers
// keep one hint per curve and reset it to 0 when time goes back). An empty
// curve leaves out untouched and returns 0. Evaluation never allocates (a
// string curve copies its value into out) and never changes the curve, so one
// curve may be shared by any number of users.
template <typename T>
class IInterpolator : public IKeysContainer {
public:
    using ValueType = T;

    virtual int evaluate(float time, T& out, int hint) const = 0;
    // Adds a key at the end, whatever its time.
    virtual void appendKey(float time, const T& value, bool step) = 0;
    // Replaces the value and flag of the key at exactly this time, or inserts
    // a new key before the first later key (at the end when there is none).
    virtual void setKey(float time, const T& value, bool step) = 0;
    // Copies the key at index; an index outside [0, keyCount()) leaves the
    // outputs untouched.
    virtual void getKey(int index, float& time, T& value, bool& step) const = 0;
};

// Key storage shared by the three curve kinds. Keys are kept in the order
// they were added; they are expected in strictly increasing time order.
template <typename T>
class Interpolator : public IInterpolator<T> {
public:
    int keyCount() const override;
    void removeKey(int index) override;
    void appendKey(float time, const T& value, bool step) override;
    void setKey(float time, const T& value, bool step) override;
    void getKey(int index, float& time, T& value, bool& step) const override;

    const std::vector<Key<T>>& keys() const { return keys_; }

protected:
    std::vector<Key<T>> keys_;
};

extern template class Interpolator<int>;
extern template class Interpolator<float>;
extern template class Interpolator<bool>;
extern template class Interpolator<sm::Vec3>;
extern template class Interpolator<sm::Vec4>;
extern template class Interpolator<sm::Quat>;
extern template class Interpolator<std::string>;
