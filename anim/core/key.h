#pragma once

// One keyframe: a time in seconds, a step flag (its meaning depends on the
// curve kind) and the value.
template <typename T>
struct Key {
    float time = 0.0f;
    bool step = false;
    T value{};
};
