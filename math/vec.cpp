#include "math/vec.h"

#include "math/scalar.h"

namespace sm {

float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float length(Vec3 v) { return fsqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Vec3& normalize(Vec3& v) {
    const float len = length(v);
    if (len != 0.0f) {
        v.x /= len;
        v.y /= len;
        v.z /= len;
    }
    return v;
}

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace sm
