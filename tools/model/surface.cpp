#include "tools/model/surface.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace model {

void boxFaceFrame(sm::Vec3 n, sm::Vec3& u, sm::Vec3& v)
{
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ax >= ay && ax >= az) {
        u = {0.0f, 0.0f, n.x > 0 ? -1.0f : 1.0f};
        v = {0.0f, 1.0f, 0.0f};
    } else if (ay >= az) {
        u = {1.0f, 0.0f, 0.0f};
        v = {0.0f, 0.0f, n.y > 0 ? -1.0f : 1.0f};
    } else {
        u = {n.z > 0 ? 1.0f : -1.0f, 0.0f, 0.0f};
        v = {0.0f, 1.0f, 0.0f};
    }
}

void unshare(Shape& shape)
{
    std::vector<Vertex> vertices;
    vertices.reserve(shape.triangles.size() * 3);
    for (Triangle& t : shape.triangles)
        for (auto& i : t.v) {
            vertices.push_back(shape.vertices[i]);
            i = static_cast<std::uint32_t>(vertices.size() - 1);
        }
    shape.vertices = std::move(vertices);
}

void planarProject(Shape& shape, sm::Vec3 origin, sm::Vec3 uAxis, sm::Vec3 vAxis)
{
    for (Vertex& v : shape.vertices) v.uv = {sm::dot(v.position - origin, uAxis), sm::dot(v.position - origin, vAxis)};
}

void boxProject(Shape& shape, sm::Vec3 origin)
{
    unshare(shape);
    for (const Triangle& t : shape.triangles) {
        sm::Vec3 u, v;
        boxFaceFrame(faceNormal(shape, t), u, v);
        for (auto i : t.v) {
            sm::Vec3 p = shape.vertices[i].position - origin;
            shape.vertices[i].uv = {sm::dot(p, u), sm::dot(p, v)};
        }
    }
}

void cylindricalProject(Shape& shape, sm::Vec3 base, sm::Vec3 axis, sm::Vec3 front, float radius)
{
    unshare(shape);
    axis = normalized(axis);
    sm::Vec3 back = -normalized(front);
    sm::Vec3 side = sm::cross(axis, back);
    const float full = 2.0f * kPi * radius;
    for (const Triangle& t : shape.triangles) {
        float u[3];
        for (int k = 0; k < 3; ++k) {
            sm::Vec3 d = shape.vertices[t.v[k]].position - base;
            // Angle from the seam (behind), growing to the right seen from the front.
            float a = std::atan2(-sm::dot(d, side), sm::dot(d, back));
            if (a < 0.0f) a += 2.0f * kPi;
            u[k] = a * radius;
        }
        float lo = std::min({u[0], u[1], u[2]}), hi = std::max({u[0], u[1], u[2]});
        if (hi - lo > 0.5f * full)
            for (float& x : u)
                if (x < 0.5f * full) x += full;
        for (int k = 0; k < 3; ++k) {
            Vertex& v = shape.vertices[t.v[k]];
            v.uv = {u[k], sm::dot(v.position - base, axis)};
        }
    }
}

void flatNormals(Shape& shape)
{
    unshare(shape);
    for (const Triangle& t : shape.triangles) {
        sm::Vec3 n = faceNormal(shape, t);
        for (auto i : t.v) shape.vertices[i].normal = n;
    }
}

void smoothNormals(Shape& shape, float creaseDegrees)
{
    unshare(shape);
    const float cosCrease = std::cos(radians(creaseDegrees));
    std::vector<sm::Vec3> faceN;
    for (const Triangle& t : shape.triangles) faceN.push_back(faceNormal(shape, t));
    // Each face counts by its angle at the shared corner, so the way a quad
    // is split into triangles does not tilt the result.
    auto cornerAngle = [&](std::size_t f, sm::Vec3 p) {
        const Triangle& t = shape.triangles[f];
        for (int k = 0; k < 3; ++k)
            if (sm::length(shape.corner(t, k).position - p) < 1e-3f) {
                sm::Vec3 a = normalized(shape.corner(t, (k + 1) % 3).position - p);
                sm::Vec3 b = normalized(shape.corner(t, (k + 2) % 3).position - p);
                return std::acos(std::clamp(sm::dot(a, b), -1.0f, 1.0f));
            }
        return 0.0f;
    };
    // Corners grouped by position (welded at a hundredth of a millimetre).
    using Key = std::tuple<long, long, long>;
    std::map<Key, std::vector<std::size_t>> groups;
    auto key = [](sm::Vec3 p) {
        return Key{std::lround(p.x * 1000.0f), std::lround(p.y * 1000.0f), std::lround(p.z * 1000.0f)};
    };
    for (std::size_t f = 0; f < shape.triangles.size(); ++f)
        for (int k = 0; k < 3; ++k)
            groups[key(shape.vertices[shape.triangles[f].v[k]].position)].push_back(f);
    for (std::size_t f = 0; f < shape.triangles.size(); ++f)
        for (int k = 0; k < 3; ++k) {
            Vertex& v = shape.vertices[shape.triangles[f].v[k]];
            sm::Vec3 sum;
            for (std::size_t g : groups[key(v.position)])
                if (sm::dot(faceN[g], faceN[f]) >= cosCrease) sum += faceN[g] * cornerAngle(g, v.position);
            v.normal = sm::dot(sum, sum) > 0.0f ? normalized(sum) : faceN[f];
        }
}

void computeTangents(Shape& shape)
{
    std::vector<sm::Vec3> acc(shape.vertices.size());
    for (const Triangle& t : shape.triangles) {
        const Vertex &a = shape.vertices[t.v[0]], &b = shape.vertices[t.v[1]], &c = shape.vertices[t.v[2]];
        sm::Vec3 e1 = b.position - a.position, e2 = c.position - a.position;
        Vec2 d1 = b.uv - a.uv, d2 = c.uv - a.uv;
        float det = d1.x * d2.y - d2.x * d1.y;
        if (std::fabs(det) < 1e-12f) continue;
        sm::Vec3 tan = (e1 * d2.y - e2 * d1.y) * (1.0f / det);
        for (auto i : t.v) acc[i] += tan;
    }
    for (std::size_t i = 0; i < shape.vertices.size(); ++i) {
        Vertex& v = shape.vertices[i];
        sm::Vec3 t = acc[i] - v.normal * sm::dot(v.normal, acc[i]);
        if (sm::dot(t, t) < 1e-12f) {
            // No usable texture direction: any direction across the normal.
            sm::Vec3 other = std::fabs(v.normal.y) < 0.9f ? sm::Vec3{0, 1, 0} : sm::Vec3{1, 0, 0};
            t = sm::cross(other, v.normal);
        }
        v.tangent = normalized(t);
    }
}

} // namespace model
