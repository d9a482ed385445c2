#pragma once
// Small vector helpers of the modelling kit: a 2D vector and the operators
// that the engine's vector types leave out.
#include "math/vec.h"

#include <cmath>

namespace model {

struct Vec2 {
    float x = 0.0f, y = 0.0f;
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline Vec2 operator*(float s, Vec2 a) { return a * s; }
inline float dot2(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float cross2(Vec2 a, Vec2 b) { return a.x * b.y - a.y * b.x; }
inline float length2d(Vec2 a) { return std::sqrt(a.x * a.x + a.y * a.y); }

inline sm::Vec3 operator-(sm::Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline sm::Vec3 operator/(sm::Vec3 a, float s) { return {a.x / s, a.y / s, a.z / s}; }
inline sm::Vec3& operator+=(sm::Vec3& a, sm::Vec3 b) { return a = a + b; }
inline sm::Vec3& operator-=(sm::Vec3& a, sm::Vec3 b) { return a = a - b; }
inline sm::Vec3 mul(sm::Vec3 a, sm::Vec3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
inline sm::Vec3 lerp(sm::Vec3 a, sm::Vec3 b, float t) { return a + (b - a) * t; }
// The unit vector along v, or v itself when it has no length.
inline sm::Vec3 normalized(sm::Vec3 v)
{
    float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0.0f ? v / l : v;
}
inline float component(sm::Vec3 v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
inline sm::Vec3 axisVector(int axis, float s = 1.0f)
{
    return {axis == 0 ? s : 0.0f, axis == 1 ? s : 0.0f, axis == 2 ? s : 0.0f};
}

inline constexpr float kPi = 3.14159265358979f;
inline float radians(float degrees) { return degrees * kPi / 180.0f; }

} // namespace model
