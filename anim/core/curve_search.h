#pragma once

#include <vector>

#include "anim/core/key.h"

// Steps shared by every curve kind. Internal to the curve implementations.
namespace curve_search {

// Handles an empty curve and a time at or outside the end keys. Returns true
// and sets index when that settles the result; otherwise the time lies
// strictly between the first and the last key (and there are at least two).
// A NaN time counts as before the first key.
template <typename T>
bool settleEnds(const std::vector<Key<T>>& keys, float time, T& out, int& index) {
    const int n = static_cast<int>(keys.size());
    if (n == 0) {
        index = 0;
        return true;
    }
    if (!(time > keys.front().time)) {
        out = keys.front().value;
        index = 0;
        return true;
    }
    if (time >= keys.back().time) {
        out = keys.back().value;
        index = n - 1;
        return true;
    }
    return false;
}

// A hint from another curve or from before keys were removed may lie outside
// the keys; it is brought into range so the search stays inside them.
inline int clampHint(int hint, int count) {
    if (hint < 0) return 0;
    if (hint > count - 1) return count - 1;
    return hint;
}

}  // namespace curve_search
