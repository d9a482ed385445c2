// The modelling kit's primitives: closed, facing out, of the right size and
// textured at one density.
#include "tools/model/primitives.h"
#include "tools/model/surface.h"
#include "tools/model/transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

using namespace model;

namespace {

// Volume enclosed by the triangles (positive when they face out).
double signedVolume(const Shape& s)
{
    double v = 0.0;
    for (const Triangle& t : s.triangles) {
        sm::Vec3 a = s.corner(t, 0).position, b = s.corner(t, 1).position, c = s.corner(t, 2).position;
        v += sm::dot(a, sm::cross(b, c)) / 6.0;
    }
    return v;
}

// Every edge (positions welded) is used once in each direction.
::testing::AssertionResult closed(const Shape& s)
{
    using Key = std::tuple<long, long, long>;
    auto key = [](sm::Vec3 p) { return Key{std::lround(p.x * 100), std::lround(p.y * 100), std::lround(p.z * 100)}; };
    std::map<std::pair<Key, Key>, int> edges;
    for (const Triangle& t : s.triangles)
        for (int c = 0; c < 3; ++c) {
            Key a = key(s.corner(t, c).position), b = key(s.corner(t, (c + 1) % 3).position);
            ++edges[{a, b}];
        }
    for (const auto& [e, n] : edges) {
        auto back = edges.find({e.second, e.first});
        if (n != 1 || back == edges.end() || back->second != 1)
            return ::testing::AssertionFailure() << "an edge is used " << n << " times forwards and "
                                                 << (back == edges.end() ? 0 : back->second) << " backwards";
    }
    return ::testing::AssertionSuccess();
}

// Vertex normals lean the same way as the triangles they belong to.
::testing::AssertionResult normalsAgree(const Shape& s)
{
    for (const Triangle& t : s.triangles) {
        sm::Vec3 f = faceNormal(s, t);
        for (int c = 0; c < 3; ++c)
            if (sm::dot(f, s.corner(t, c).normal) <= 0.2f)
                return ::testing::AssertionFailure() << "a vertex normal points away from its face";
    }
    return ::testing::AssertionSuccess();
}

// Ratio of texture area to surface area over the whole shape.
double uvAreaRatio(const Shape& s)
{
    double uv = 0.0, area = 0.0;
    for (const Triangle& t : s.triangles) {
        Vec2 a = s.corner(t, 0).uv, b = s.corner(t, 1).uv, c = s.corner(t, 2).uv;
        uv += 0.5 * std::fabs(cross2(b - a, c - a));
        area += faceArea(s, t);
    }
    return uv / area;
}

} // namespace

TEST(Primitives, SolidsAreClosedFaceOutAndHaveTheirVolume)
{
    const float pi = kPi;
    struct Case {
        const char* name;
        Shape shape;
        double volume, tolerance;
    };
    const int n = 24;
    double prism = 0.5 * n * std::sin(2 * pi / n);  // area of the unit n-gon
    Case cases[] = {
        {"box", box("m", {30, 20, 10}), 6000.0, 1e-3},
        // Cutting the edges and corners of a 10 cm cube by 1 cm bevels takes
        // away 12 prisms of 0.5 x 8 and 5/6 of each 1 cm corner cube.
        {"bevelBox", bevelBox("m", {10, 10, 10}, 1.0f), 1000.0 - 12 * 0.5 * 8 - 8 * 5.0 / 6.0, 1e-3},
        {"cylinder", cylinder("m", 10, 50, n), prism * 100 * 50, 1e-3},
        {"cone", cone("m", 10, 5, 30, n), prism * 30 * (100 + 50 + 25) / 3.0, 1e-3},
        {"sphere", sphere("m", 10, 48, 24), 4.0 / 3.0 * pi * 1000, 0.02},
        {"capsule", capsule("m", 5, 20, 48, 12), pi * 25 * 20 + 4.0 / 3.0 * pi * 125, 0.02},
        {"torus", torus("m", 40, 10, 64, 24), 2 * pi * pi * 40 * 100, 0.02},
        // An L: 30 x 30 with a 20 x 20 notch, 5 deep.
        {"extrude", extrude("m", {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 30}, {0, 30}}, 5), 500.0 * 5, 1e-3},
        {"tube", tube("m", roundCorners({{0, 0, 0}, {100, 0, 0}, {100, 100, 0}}, 20, 8), 5, 16),
         prism * 25 * (200 - 40 + 0.5 * pi * 20 * 0.85), 0.05},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(closed(c.shape));
        EXPECT_TRUE(normalsAgree(c.shape));
        EXPECT_NEAR(signedVolume(c.shape), c.volume, c.volume * c.tolerance);
    }
}

TEST(Primitives, OpenShapesFaceTheirStatedWay)
{
    Shape r = rectangle("m", {40, 20});
    for (const Triangle& t : r.triangles) EXPECT_GT(faceNormal(r, t).z, 0.99f);
    // A concave outline triangulates to its own area.
    std::vector<Vec2> u = {{0, 0}, {30, 0}, {30, 30}, {20, 30}, {20, 10}, {10, 10}, {10, 30}, {0, 30}};
    Shape p = polygon("m", u);
    double area = 0;
    for (const Triangle& t : p.triangles) {
        area += faceArea(p, t);
        EXPECT_GT(faceNormal(p, t).z, 0.99f);
    }
    EXPECT_NEAR(area, 900.0 - 200.0, 1e-3);
    // A cylinder without caps is open at both ends.
    EXPECT_FALSE(closed(cylinder("m", 5, 10, 12, false)));
}

TEST(Primitives, TexturesKeepOneDensityOnFlatAndUnrolledFaces)
{
    // Surface coordinates are centimetres, so texture area equals surface area.
    EXPECT_NEAR(uvAreaRatio(box("m", {100, 50, 20})), 1.0, 1e-4);
    // Bevels take the texture of the face they lean from, shrunk by the slant.
    double bevelled = uvAreaRatio(bevelBox("m", {100, 50, 20}, 2));
    EXPECT_LT(bevelled, 1.0);
    EXPECT_GT(bevelled, 0.95);
    EXPECT_NEAR(uvAreaRatio(cylinder("m", 20, 100, 32, false)), 1.0, 0.01);
    EXPECT_NEAR(uvAreaRatio(extrude("m", rectangleOutline(40, 10), 200, false)), 1.0, 1e-3);
    // Box faces line up across the edge: the top and the front share u.
    Shape b = box("m", {100, 100, 100});
    sm::Vec3 corner{50, 50, 50};
    std::vector<float> us;
    for (const Vertex& v : b.vertices)
        if (sm::length(v.position - corner) < 1e-3f && (v.normal.y > 0.5f || v.normal.z > 0.5f)) us.push_back(v.uv.x);
    ASSERT_EQ(us.size(), 2u);
    EXPECT_FLOAT_EQ(us[0], us[1]);
}

TEST(Projections, KeepTheDensityAndReadUpright)
{
    Shape s = sphere("m", 50, 32, 16);
    boxProject(s);
    for (const Triangle& t : s.triangles) {
        // The projection along the face's main axis shrinks area by at most
        // the cosine of 55 degrees, never stretches it.
        Vec2 a = s.corner(t, 0).uv, b = s.corner(t, 1).uv, c = s.corner(t, 2).uv;
        double uv = 0.5 * std::fabs(cross2(b - a, c - a)), area = faceArea(s, t);
        EXPECT_LE(uv, area * 1.0001 + 1e-4);
        EXPECT_GE(uv, area * 0.55);
    }
    // On a wall (facing +Z), v grows upwards and u to the right.
    Shape w = rectangle("m", {100, 100});
    boxProject(w);
    for (const Vertex& v : w.vertices) {
        EXPECT_FLOAT_EQ(v.uv.x, v.position.x);
        EXPECT_FLOAT_EQ(v.uv.y, v.position.y);
    }
    // Cylindrical: u runs once around without a jump inside any triangle.
    Shape c = cylinder("m", 10, 40, 24, false);
    cylindricalProject(c, {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 10);
    for (const Triangle& t : c.triangles) {
        float lo = 1e9f, hi = -1e9f;
        for (int k = 0; k < 3; ++k) lo = std::min(lo, c.corner(t, k).uv.x), hi = std::max(hi, c.corner(t, k).uv.x);
        EXPECT_LT(hi - lo, 2 * kPi * 10 / 24 * 1.01f);
    }
    EXPECT_NEAR(uvAreaRatio(c), 1.0, 0.01);
}

TEST(Transforms, MirroringKeepsShapesFacingOut)
{
    Shape s = extrude("m", {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 30}, {0, 30}}, 5);
    double v = signedVolume(s);
    mirror(s, 0);
    EXPECT_NEAR(signedVolume(s), v, 1e-3);
    EXPECT_TRUE(normalsAgree(s));
    transform(s, translate(100, 5, -3) * rotateY(30) * rotateX(-70));
    EXPECT_NEAR(signedVolume(s), v, 1e-2);
    EXPECT_TRUE(normalsAgree(s));
    EXPECT_TRUE(closed(s));
}

TEST(Normals, SmoothAcrossGentleBendsHardAtCreases)
{
    Shape c = cylinder("m", 10, 10, 16);
    flatNormals(c);
    smoothNormals(c, 45.0f);
    for (const Vertex& v : c.vertices) {
        if (std::fabs(v.normal.y) > 0.99f) continue;  // cap corners keep the cap's normal
        // Side normals point straight out from the axis.
        sm::Vec3 radial = normalized(sm::Vec3{v.position.x, 0, v.position.z});
        EXPECT_GT(sm::dot(v.normal, radial), 0.999f);
    }
    EXPECT_TRUE(normalsAgree(c));
}

TEST(Normals, TangentsFollowTheTextureAcrossTheNormal)
{
    Shape s = sphere("m", 20, 16, 8);
    boxProject(s);
    computeTangents(s);
    int alongChecked = 0;
    for (const Triangle& t : s.triangles) {
        const Vertex &a = s.corner(t, 0), &b = s.corner(t, 1);
        EXPECT_NEAR(sm::dot(a.tangent, a.normal), 0.0f, 1e-4f);
        EXPECT_NEAR(sm::length(a.tangent), 1.0f, 1e-4f);
        // Moving along the tangent increases u, where an edge runs mostly
        // along it and u changes enough to tell.
        if (std::fabs(b.uv.x - a.uv.x) > 0.5f) {
            float du = b.uv.x - a.uv.x;
            float along = sm::dot(b.position - a.position, a.tangent);
            if (std::fabs(along) > 0.5f * sm::length(b.position - a.position)) {
                EXPECT_GT(du * along, 0.0f);
                ++alongChecked;
            }
        }
    }
    EXPECT_GT(alongChecked, static_cast<int>(s.triangles.size()) / 4) << "of " << s.triangles.size();
}
