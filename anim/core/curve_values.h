#pragma once

#include <climits>
#include <cstdint>

#include "math/quat.h"
#include "math/vec.h"

// Per-component arithmetic of the curve value types. Internal to the curve
// implementations. Everything is single precision; integers are blended in
// float and truncated toward zero.
namespace curve_values {

// Truncation toward zero that saturates instead of overflowing (NaN gives 0).
inline int truncate(float v) {
    if (!(v == v)) return 0;
    if (v >= 2147483648.0f) return INT_MAX;
    if (v < -2147483648.0f) return INT_MIN;
    return static_cast<int>(v);
}

// Integer difference b - a, saturated to the int range.
inline int difference(int b, int a) {
    const int64_t d = static_cast<int64_t>(b) - static_cast<int64_t>(a);
    if (d > INT_MAX) return INT_MAX;
    if (d < INT_MIN) return INT_MIN;
    return static_cast<int>(d);
}

// (1 - u)·a + u·b.
inline float lerp(float a, float b, float u) { return (1.0f - u) * a + u * b; }
inline int lerp(int a, int b, float u) {
    return truncate((1.0f - u) * static_cast<float>(a) + u * static_cast<float>(b));
}
inline sm::Vec3 lerp(sm::Vec3 a, sm::Vec3 b, float u) {
    return {lerp(a.x, b.x, u), lerp(a.y, b.y, u), lerp(a.z, b.z, u)};
}
inline sm::Vec4 lerp(sm::Vec4 a, sm::Vec4 b, float u) {
    return {lerp(a.x, b.x, u), lerp(a.y, b.y, u), lerp(a.z, b.z, u), lerp(a.w, b.w, u)};
}

// One segment of a Hermite curve: which tangent rules apply and the basis
// weights at the evaluated time.
struct HermiteSegment {
    bool startOneSided = false;  // first segment, or the key before it is stepped
    bool endOneSided = false;    // last segment, or its end key is stepped
    bool twoKeys = false;        // the curve has exactly two keys
    bool firstSegment = false;
    bool lastSegment = false;
    float h00 = 0.0f, h01 = 0.0f, h10 = 0.0f, h11 = 0.0f;

    void setTime(float u) {
        const float u2 = u * u;
        const float u3 = u2 * u;
        h00 = 2.0f * u3 - 3.0f * u2 + 1.0f;
        h01 = 3.0f * u2 - 2.0f * u3;
        h10 = u3 - 2.0f * u2 + u;
        h11 = u3 - u2;
    }
};

// prev and next are the neighbouring key values (ignored where the segment's
// rules make the tangent one-sided).
inline float hermite(float prev, float p0, float p1, float next, const HermiteSegment& s) {
    float t0 = s.startOneSided ? 1.5f * (p1 - p0) : 0.5f * (p1 - prev);
    float t1 = s.endOneSided ? 1.5f * (p1 - p0) : 0.5f * (next - p0);
    if (s.twoKeys) {
        t0 = p1 - p0;
        t1 = p1 - p0;
    } else {
        if (s.firstSegment) t0 = t0 - 0.5f * t1;
        if (s.lastSegment) t1 = t1 - 0.5f * t0;
    }
    return s.h00 * p0 + s.h01 * p1 + s.h10 * t0 + s.h11 * t1;
}

// Integer keys: differences in integers, tangents truncated and kept as
// integers, the sum in float and truncated.
inline int hermite(int prev, int p0, int p1, int next, const HermiteSegment& s) {
    const auto scaled = [](float f, int d) { return truncate(f * static_cast<float>(d)); };
    int t0 = s.startOneSided ? scaled(1.5f, difference(p1, p0)) : scaled(0.5f, difference(p1, prev));
    int t1 = s.endOneSided ? scaled(1.5f, difference(p1, p0)) : scaled(0.5f, difference(next, p0));
    if (s.twoKeys) {
        t0 = difference(p1, p0);
        t1 = t0;
    } else {
        if (s.firstSegment) t0 = truncate(static_cast<float>(t0) - 0.5f * static_cast<float>(t1));
        if (s.lastSegment) t1 = truncate(static_cast<float>(t1) - 0.5f * static_cast<float>(t0));
    }
    return truncate(s.h00 * static_cast<float>(p0) + s.h01 * static_cast<float>(p1) +
                    s.h10 * static_cast<float>(t0) + s.h11 * static_cast<float>(t1));
}

inline sm::Vec3 hermite(sm::Vec3 prev, sm::Vec3 p0, sm::Vec3 p1, sm::Vec3 next, const HermiteSegment& s) {
    return {hermite(prev.x, p0.x, p1.x, next.x, s), hermite(prev.y, p0.y, p1.y, next.y, s),
            hermite(prev.z, p0.z, p1.z, next.z, s)};
}

inline sm::Quat hermite(sm::Quat prev, sm::Quat p0, sm::Quat p1, sm::Quat next, const HermiteSegment& s) {
    return {hermite(prev.w, p0.w, p1.w, next.w, s), hermite(prev.x, p0.x, p1.x, next.x, s),
            hermite(prev.y, p0.y, p1.y, next.y, s), hermite(prev.z, p0.z, p1.z, next.z, s)};
}

}  // namespace curve_values
