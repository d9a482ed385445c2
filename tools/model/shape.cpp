#include "tools/model/shape.h"

#include <algorithm>

namespace model {

std::uint32_t Shape::addVertex(const Vertex& v)
{
    vertices.push_back(v);
    return static_cast<std::uint32_t>(vertices.size() - 1);
}

std::uint32_t Shape::addVertex(sm::Vec3 position, sm::Vec3 normal, Vec2 uv, Vec2 chartUv)
{
    Vertex v;
    v.position = position;
    v.normal = normal;
    v.uv = uv;
    v.chartUv = chartUv;
    return addVertex(v);
}

void Shape::addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, int chart)
{
    Triangle t;
    t.v[0] = a;
    t.v[1] = b;
    t.v[2] = c;
    t.chart = chart;
    triangles.push_back(t);
}

void Shape::addQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, int chart)
{
    addTriangle(a, b, c, chart);
    addTriangle(a, c, d, chart);
}

void Shape::append(const Shape& other)
{
    auto base = static_cast<std::uint32_t>(vertices.size());
    int chartBase = chartCount();
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    for (Triangle t : other.triangles) {
        for (auto& i : t.v) i += base;
        if (t.chart >= 0) t.chart += chartBase;
        triangles.push_back(t);
    }
}

int Shape::chartCount() const
{
    int n = 0;
    for (const Triangle& t : triangles) n = std::max(n, t.chart + 1);
    return n;
}

sm::Vec3 faceNormal(const Shape& shape, const Triangle& t)
{
    sm::Vec3 a = shape.vertices[t.v[0]].position, b = shape.vertices[t.v[1]].position,
             c = shape.vertices[t.v[2]].position;
    return normalized(sm::cross(b - a, c - a));
}

float faceArea(const Shape& shape, const Triangle& t)
{
    sm::Vec3 a = shape.vertices[t.v[0]].position, b = shape.vertices[t.v[1]].position,
             c = shape.vertices[t.v[2]].position;
    sm::Vec3 n = sm::cross(b - a, c - a);
    return 0.5f * std::sqrt(sm::dot(n, n));
}

void Bounds::add(sm::Vec3 p)
{
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

Bounds bounds(const Shape& shape)
{
    Bounds b;
    for (const Vertex& v : shape.vertices) b.add(v.position);
    return b;
}

} // namespace model
