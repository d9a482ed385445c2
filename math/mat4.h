#pragma once

#include "math/quat.h"
#include "math/vec.h"

namespace sm {

// 4x4 matrix, column-major as OpenGL stores it: row r, column k is a[k*4 + r];
// the translation of an affine matrix is a[12..14]. Points are column
// vectors, so in A·B the matrix B acts first.
struct Mat4 {
    float a[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

bool operator==(const Mat4& l, const Mat4& r);

// Writes the identity into m and returns it.
Mat4& identity(Mat4& m);
Mat4 identityMatrix();
// A·B.
Mat4 multiply(const Mat4& A, const Mat4& B);
inline Mat4 operator*(const Mat4& A, const Mat4& B) { return multiply(A, B); }
// First three components of M·(p, 1); no division by w.
Vec3 transformPoint(const Mat4& M, Vec3 p);
// Adjugate over determinant. A singular matrix gives non-finite elements.
Mat4 inverse(const Mat4& M);
Mat4 translation(Vec3 t);
Mat4 scaling(Vec3 s);
// Rotation by angle radians about the axis, which is taken as given.
Mat4 rotationAxisAngle(Vec3 axis, float angle);
// Rotation of a quaternion, always built through its axis-angle form; the
// identity when the angle is 0.
Mat4 rotation(Quat q);
// OpenGL perspective from a horizontal field of view and aspect = w / h.
Mat4 perspectiveFovX(float fovX, float aspect, float zNear, float zFar);

}  // namespace sm
