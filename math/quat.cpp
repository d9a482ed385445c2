#include "math/quat.h"

#include "math/scalar.h"

namespace sm {

Quat& normalize(Quat& q) {
    const float len = fsqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (len != 0.0f) {
        const float inv = 1.0f / len;
        q.w *= inv;
        q.x *= inv;
        q.y *= inv;
        q.z *= inv;
    }
    return q;
}

Quat fromAxisAngle(Vec3 axis, float angle) {
    const float s = fsin(angle * 0.5f);
    Quat q{fcos(angle * 0.5f), axis.x * s, axis.y * s, axis.z * s};
    return normalize(q);
}

void toAxisAngle(Quat q, Vec3& axis, float& angle) {
    normalize(q);
    // Rounding can leave |w| a hair above 1 after normalising; acos would
    // then give NaN and poison every matrix built from it.
    const float w = q.w > 1.0f ? 1.0f : (q.w < -1.0f ? -1.0f : q.w);
    angle = 2.0f * facos(w);
    if (angle != 0.0f) {
        const float inv = 1.0f / fsin(angle * 0.5f);
        axis = {q.x * inv, q.y * inv, q.z * inv};
    } else {
        axis = {0.0f, 0.0f, 0.0f};
    }
}

Quat operator*(Quat p, Quat q) {
    const Vec3 pv{p.x, p.y, p.z};
    const Vec3 qv{q.x, q.y, q.z};
    const Vec3 c = cross(pv, qv);
    return {p.w * q.w - (p.x * q.x + p.y * q.y + p.z * q.z),
            p.w * q.x + q.w * p.x + c.x,
            p.w * q.y + q.w * p.y + c.y,
            p.w * q.z + q.w * p.z + c.z};
}

}  // namespace sm
