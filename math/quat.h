#pragma once

#include "math/vec.h"

namespace sm {

// Rotation quaternion, scalar part first.
struct Quat {
    float w = 1.0f, x = 0.0f, y = 0.0f, z = 0.0f;
};

inline bool operator==(Quat a, Quat b) { return a.w == b.w && a.x == b.x && a.y == b.y && a.z == b.z; }

// Multiplies by 1/length when the length is not 0; a zero quaternion stays.
Quat& normalize(Quat& q);
// (x, y, z) = axis * sin(angle/2), w = cos(angle/2), normalised. The axis is
// taken as given; callers normalise it.
Quat fromAxisAngle(Vec3 axis, float angle);
// Normalises q, then angle = 2 acos(w); the axis is (x, y, z) / sin(angle/2)
// when the angle is not 0 and (0, 0, 0) otherwise.
void toAxisAngle(Quat q, Vec3& axis, float& angle);
// Hamilton product p ⊗ q.
Quat operator*(Quat p, Quat q);

}  // namespace sm
