#pragma once
// Placing shapes: rigid transforms, mirroring, and the small matrix helpers
// that build them.
#include "tools/model/shape.h"

#include "math/mat4.h"

namespace model {

// Moves positions by m, normals by its inverse transpose and tangents by m;
// a transform that mirrors (negative determinant) also turns the triangles
// around so they keep facing out. Surface coordinates are kept.
void transform(Shape& shape, const sm::Mat4& m);
Shape transformed(Shape shape, const sm::Mat4& m);
// Turns the triangles and normals around (a box seen from inside: a room).
void turnInsideOut(Shape& shape);
// Mirrors across the plane through the origin normal to axis (0 x, 1 y, 2 z).
void mirror(Shape& shape, int axis);

sm::Mat4 translate(float x, float y, float z);
sm::Mat4 translate(sm::Vec3 t);
sm::Mat4 rotateX(float degrees);
sm::Mat4 rotateY(float degrees);
sm::Mat4 rotateZ(float degrees);
sm::Mat4 scale(sm::Vec3 s);
// Translation to `position` after a turn about +Y by yawDegrees.
sm::Mat4 place(sm::Vec3 position, float yawDegrees = 0.0f);
// A frame whose columns are the given axes and whose origin is `origin`.
sm::Mat4 frame(sm::Vec3 x, sm::Vec3 y, sm::Vec3 z, sm::Vec3 origin);
// Upper 3x3 determinant.
float determinant3(const sm::Mat4& m);

} // namespace model
