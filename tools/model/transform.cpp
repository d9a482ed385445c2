#include "tools/model/transform.h"

#include <utility>

namespace model {

namespace {

sm::Vec3 applyLinear(const sm::Mat4& m, sm::Vec3 v)
{
    return {m.a[0] * v.x + m.a[4] * v.y + m.a[8] * v.z, m.a[1] * v.x + m.a[5] * v.y + m.a[9] * v.z,
            m.a[2] * v.x + m.a[6] * v.y + m.a[10] * v.z};
}

// Applies the transpose of the inverse of m's linear part (cofactor form,
// without the division, which normalising removes).
sm::Vec3 applyNormal(const sm::Mat4& m, sm::Vec3 n)
{
    sm::Vec3 c0{m.a[0], m.a[1], m.a[2]}, c1{m.a[4], m.a[5], m.a[6]}, c2{m.a[8], m.a[9], m.a[10]};
    sm::Vec3 r0 = sm::cross(c1, c2), r1 = sm::cross(c2, c0), r2 = sm::cross(c0, c1);
    float det = sm::dot(c0, r0);
    sm::Vec3 out = r0 * n.x + r1 * n.y + r2 * n.z;
    return normalized(det < 0 ? -out : out);
}

} // namespace

float determinant3(const sm::Mat4& m)
{
    sm::Vec3 c0{m.a[0], m.a[1], m.a[2]}, c1{m.a[4], m.a[5], m.a[6]}, c2{m.a[8], m.a[9], m.a[10]};
    return sm::dot(c0, sm::cross(c1, c2));
}

void transform(Shape& shape, const sm::Mat4& m)
{
    for (Vertex& v : shape.vertices) {
        v.position = sm::transformPoint(m, v.position);
        v.normal = applyNormal(m, v.normal);
        v.tangent = normalized(applyLinear(m, v.tangent));
    }
    if (determinant3(m) < 0.0f)
        for (Triangle& t : shape.triangles) {
            std::swap(t.v[1], t.v[2]);
            std::swap(t.lightUv[1], t.lightUv[2]);
        }
}

Shape transformed(Shape shape, const sm::Mat4& m)
{
    transform(shape, m);
    return shape;
}

void turnInsideOut(Shape& shape)
{
    for (Vertex& v : shape.vertices) {
        v.normal = -v.normal;
        v.tangent = -v.tangent;
    }
    for (Triangle& t : shape.triangles) {
        std::swap(t.v[1], t.v[2]);
        std::swap(t.lightUv[1], t.lightUv[2]);
    }
}

void mirror(Shape& shape, int axis)
{
    sm::Vec3 s{1, 1, 1};
    if (axis == 0) s.x = -1;
    else if (axis == 1) s.y = -1;
    else s.z = -1;
    transform(shape, scale(s));
}

sm::Mat4 translate(float x, float y, float z) { return sm::translation({x, y, z}); }
sm::Mat4 translate(sm::Vec3 t) { return sm::translation(t); }
sm::Mat4 rotateX(float degrees) { return sm::rotationAxisAngle({1, 0, 0}, radians(degrees)); }
sm::Mat4 rotateY(float degrees) { return sm::rotationAxisAngle({0, 1, 0}, radians(degrees)); }
sm::Mat4 rotateZ(float degrees) { return sm::rotationAxisAngle({0, 0, 1}, radians(degrees)); }
sm::Mat4 scale(sm::Vec3 s) { return sm::scaling(s); }
sm::Mat4 place(sm::Vec3 position, float yawDegrees) { return translate(position) * rotateY(yawDegrees); }

sm::Mat4 frame(sm::Vec3 x, sm::Vec3 y, sm::Vec3 z, sm::Vec3 origin)
{
    sm::Mat4 m;
    m.a[0] = x.x, m.a[1] = x.y, m.a[2] = x.z;
    m.a[4] = y.x, m.a[5] = y.y, m.a[6] = y.z;
    m.a[8] = z.x, m.a[9] = z.y, m.a[10] = z.z;
    m.a[12] = origin.x, m.a[13] = origin.y, m.a[14] = origin.z;
    return m;
}

} // namespace model
