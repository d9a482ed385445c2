#pragma once
// A shape: triangles of one material, the unit every modelling operation of
// the kit works on. World units are centimetres, Y up.
//
// Coordinates a shape carries besides its positions:
//  - uv: surface coordinates in centimetres. The writer divides them by the
//    material's tile size (centimetres per texture repeat), so every texture
//    keeps one texel density everywhere. Primitives give their natural
//    unwrap; the projections of projection.h replace it.
//  - chartUv and Triangle::chart: a primitive that unwraps itself (the side
//    of a cylinder, a lathe, a sweep) numbers its light-map charts and gives
//    their coordinates in centimetres. Triangles with chart -1 are charted
//    automatically by the light-map unwrap (unwrap.h).
//  - Triangle::lightUv: the light-map atlas coordinates of each corner, filled
//    by the unwrap.
#include "tools/model/vec_ops.h"

#include <cstdint>
#include <string>
#include <vector>

namespace model {

struct Vertex {
    sm::Vec3 position;
    sm::Vec3 normal;
    sm::Vec3 tangent;  // along +u of uv; see computeTangents
    Vec2 uv;
    Vec2 chartUv;
};

struct Triangle {
    std::uint32_t v[3] = {0, 0, 0};  // counter-clockwise seen from the front
    int chart = -1;
    Vec2 lightUv[3];
};

struct Shape {
    std::string material;
    std::vector<Vertex> vertices;
    std::vector<Triangle> triangles;

    Shape() = default;
    explicit Shape(std::string materialName) : material(std::move(materialName)) {}

    std::uint32_t addVertex(const Vertex& v);
    std::uint32_t addVertex(sm::Vec3 position, sm::Vec3 normal, Vec2 uv, Vec2 chartUv = {});
    void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, int chart = -1);
    // Two triangles a-b-c and a-c-d (counter-clockwise).
    void addQuad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d, int chart = -1);
    // Appends another shape's triangles (whatever its material); its charts
    // are renumbered after this shape's own.
    void append(const Shape& other);
    // One more than the highest chart number (0 when every chart is -1).
    int chartCount() const;
    std::size_t triangleCount() const { return triangles.size(); }
    // The corner of a triangle.
    const Vertex& corner(const Triangle& t, int i) const { return vertices[t.v[i]]; }
};

// Geometric normal of a triangle (unit length; zero for a degenerate one).
sm::Vec3 faceNormal(const Shape& shape, const Triangle& t);
// Area of a triangle in square centimetres.
float faceArea(const Shape& shape, const Triangle& t);

struct Bounds {
    sm::Vec3 min{1e30f, 1e30f, 1e30f};
    sm::Vec3 max{-1e30f, -1e30f, -1e30f};
    void add(sm::Vec3 p);
    bool empty() const { return min.x > max.x; }
    sm::Vec3 centre() const { return (min + max) * 0.5f; }
    sm::Vec3 size() const { return max - min; }
};
Bounds bounds(const Shape& shape);

} // namespace model
