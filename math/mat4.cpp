#include "math/mat4.h"

#include "math/scalar.h"

namespace sm {

bool operator==(const Mat4& l, const Mat4& r) {
    for (int i = 0; i < 16; ++i)
        if (l.a[i] != r.a[i]) return false;
    return true;
}

Mat4& identity(Mat4& m) {
    for (int i = 0; i < 16; ++i) m.a[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    return m;
}

Mat4 identityMatrix() {
    Mat4 m;
    return identity(m);
}

Mat4 multiply(const Mat4& A, const Mat4& B) {
    Mat4 out;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += A.a[k * 4 + i] * B.a[j * 4 + k];
            out.a[j * 4 + i] = sum;
        }
    }
    return out;
}

Vec3 transformPoint(const Mat4& M, Vec3 p) {
    const float v[4] = {p.x, p.y, p.z, 1.0f};
    float out[3];
    for (int i = 0; i < 3; ++i) {
        float sum = 0.0f;
        for (int j = 0; j < 4; ++j) sum += M.a[j * 4 + i] * v[j];
        out[i] = sum;
    }
    return {out[0], out[1], out[2]};
}

Mat4 inverse(const Mat4& M) {
    const float* m = M.a;
    float inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];

    // First row of M with the first column of cofactors.
    const float det = m[0] * inv[0] + m[4] * inv[1] + m[8] * inv[2] + m[12] * inv[3];
    const float invDet = 1.0f / det;
    Mat4 out;
    for (int i = 0; i < 16; ++i) out.a[i] = inv[i] * invDet;
    return out;
}

Mat4 translation(Vec3 t) {
    Mat4 m = identityMatrix();
    m.a[12] = t.x;
    m.a[13] = t.y;
    m.a[14] = t.z;
    return m;
}

Mat4 scaling(Vec3 s) {
    Mat4 m = identityMatrix();
    m.a[0] = s.x;
    m.a[5] = s.y;
    m.a[10] = s.z;
    return m;
}

Mat4 rotationAxisAngle(Vec3 axis, float angle) {
    const float cs = fcos(angle);
    const float sn = fsin(angle);
    const float k = 1.0f - cs;
    const float x = axis.x, y = axis.y, z = axis.z;
    Mat4 m = identityMatrix();
    m.a[0] = x * x * k + cs;
    m.a[1] = x * y * k + z * sn;
    m.a[2] = x * z * k - y * sn;
    m.a[4] = x * y * k - z * sn;
    m.a[5] = y * y * k + cs;
    m.a[6] = y * z * k + x * sn;
    m.a[8] = x * z * k + y * sn;
    m.a[9] = y * z * k - x * sn;
    m.a[10] = z * z * k + cs;
    return m;
}

Mat4 rotation(Quat q) {
    Vec3 axis;
    float angle = 0.0f;
    toAxisAngle(q, axis, angle);
    if (angle == 0.0f) return identityMatrix();
    return rotationAxisAngle(axis, angle);
}

Mat4 perspectiveFovX(float fovX, float aspect, float zNear, float zFar) {
    const float t = ftan(fovX * 0.5f);
    const float h = fatan(t / aspect);
    const float k = ftan(h * 2.0f * 0.5f);
    const float n = 1.0f / k;
    Mat4 m = identityMatrix();
    m.a[0] = n / aspect;
    m.a[5] = n;
    m.a[10] = (zNear + zFar) / (zNear - zFar);
    m.a[11] = -1.0f;
    m.a[14] = zNear * 2.0f * zFar / (zNear - zFar);
    m.a[15] = 0.0f;
    return m;
}

}  // namespace sm
