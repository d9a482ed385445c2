// Models become geometry the engine reads, with light-map atlases whose
// charts never overlap.
#include "tools/model/model.h"
#include "tools/model/primitives.h"
#include "tools/model/transform.h"
#include "tools/model/unwrap.h"

#include "content/geometry/geometry_reader.h"
#include "content/geometry/geometry_writer.h"
#include "content/geometry/vertex_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace model;

namespace {

// Materials: "floor" diffuse + normal + light map, "paint" diffuse + light
// map, "glow" plain colour, "bad" a light map without diffuse.
bool lookup(const ModelMesh&, const std::string& material, SurfaceNeeds& needs)
{
    if (material == "floor") needs = {true, true, true, 200.0f};
    else if (material == "paint") needs = {true, false, true, 50.0f};
    else if (material == "glow") needs = {};
    else if (material == "bad") needs = {false, false, true, 1.0f};
    else return false;
    return true;
}

Model sampleModel()
{
    Model m;
    ModelMesh& room = m.addMesh("room", 3);
    room.add(transformed(box("floor", {400, 10, 300}), translate(0, -5, 0)));
    room.add(transformed(bevelBox("paint", {50, 80, 50}, 3), translate(100, 40, 0)));
    room.add(transformed(cylinder("paint", 10, 300, 16), translate(-150, 0, -100)));
    room.add(transformed(sphere("glow", 8, 12, 6), translate(0, 250, 0)));
    room.add(transformed(torus("paint", 30, 5, 24, 8), translate(0, 100, 80)));
    return m;
}

// Texels whose centres fall inside two triangles that put different points
// of the surface there (more than a texel apart): the atlas would light one
// spot with another's light.
int clashingTexels(const ModelMesh& mesh, const Atlas& atlas)
{
    struct Hit {
        bool used = false;
        sm::Vec3 p;
    };
    std::vector<Hit> hits(static_cast<std::size_t>(atlas.width) * atlas.height);
    int clashes = 0;
    for (const Shape& s : mesh.shapes) {
        if (s.material == "glow") continue;
        for (const Triangle& t : s.triangles) {
            Vec2 q[3];
            for (int k = 0; k < 3; ++k) q[k] = {t.lightUv[k].x * atlas.width, t.lightUv[k].y * atlas.height};
            float area = cross2(q[1] - q[0], q[2] - q[0]);
            if (std::fabs(area) < 1e-9f) continue;
            int x0 = int(std::floor(std::min({q[0].x, q[1].x, q[2].x}))),
                x1 = int(std::ceil(std::max({q[0].x, q[1].x, q[2].x})));
            int y0 = int(std::floor(std::min({q[0].y, q[1].y, q[2].y}))),
                y1 = int(std::ceil(std::max({q[0].y, q[1].y, q[2].y})));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    if (x < 0 || y < 0 || x >= atlas.width || y >= atlas.height) continue;
                    Vec2 c{x + 0.5f, y + 0.5f};
                    float w0 = cross2(q[1] - c, q[2] - c) / area, w1 = cross2(q[2] - c, q[0] - c) / area;
                    float w2 = 1.0f - w0 - w1;
                    if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                    sm::Vec3 p = s.corner(t, 0).position * w0 + s.corner(t, 1).position * w1 +
                                 s.corner(t, 2).position * w2;
                    Hit& h = hits[static_cast<std::size_t>(y) * atlas.width + x];
                    if (h.used && sm::length(h.p - p) > 2.0f * atlas.texelSize) ++clashes;
                    h.used = true;
                    h.p = p;
                }
        }
    }
    return clashes;
}

} // namespace

TEST(BuildGeometry, WritesEachMaterialInTheFormatItNeeds)
{
    Model m = sampleModel();
    Atlas atlas = unwrapLightmap(m.meshes[0], [](const std::string& mat) { return mat != "glow"; });
    EXPECT_GT(atlas.charts, 10);
    std::string error;
    auto g = buildGeometry(m, lookup, &error);
    ASSERT_TRUE(g) << error;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(writeGeometry(*g, bytes, &error)) << error;
    auto back = parseGeometry(bytes.data(), bytes.size(), &error);
    ASSERT_TRUE(back) << error;
    Mesh* room = back->findMesh("room");
    ASSERT_TRUE(room);
    EXPECT_EQ(room->meshId, 3);
    // One submesh per material, in the order they first appear.
    ASSERT_EQ(room->subMeshes.size(), 3u);
    EXPECT_EQ(room->subMeshes[0]->materialName, "floor");
    EXPECT_EQ(room->subMeshes[0]->vertexFormat, 5);
    EXPECT_EQ(room->subMeshes[1]->materialName, "paint");
    EXPECT_EQ(room->subMeshes[1]->vertexFormat, 3);
    EXPECT_EQ(room->subMeshes[2]->materialName, "glow");
    EXPECT_EQ(room->subMeshes[2]->vertexFormat, 1);
    EXPECT_EQ(std::size_t(room->subMeshes[0]->vertexCount), m.meshes[0].shapes[0].triangles.size() * 3);
    // Diffuse coordinates are centimetres over the tile: the floor's top
    // spans 400 cm, two repeats of 200.
    const SubMesh& floor = *room->subMeshes[0];
    const VertexLayout& L = *vertexLayout(5);
    float lo = 1e9f, hi = -1e9f;
    for (int i = 0; i < floor.vertexCount; ++i) {
        float u;
        std::memcpy(&u, floor.vertices.data() + i * L.stride + L.diffuseUv, 4);
        lo = std::min(lo, u), hi = std::max(hi, u);
        float t[3], n[3];
        std::memcpy(t, floor.vertices.data() + i * L.stride + L.tangent, 12);
        std::memcpy(n, floor.vertices.data() + i * L.stride + L.normal, 12);
        EXPECT_NEAR(t[0] * n[0] + t[1] * n[1] + t[2] * n[2], 0.0f, 1e-4f);
    }
    EXPECT_NEAR(hi - lo, 2.0f, 1e-4f);
}

TEST(Unwrap, ChartsKeepTheDensityAndNeverShareTexels)
{
    Model m = sampleModel();
    UnwrapOptions options;
    options.texelSize = 5.0f;
    Atlas atlas = unwrapLightmap(m.meshes[0], [](const std::string& mat) { return mat != "glow"; }, options);
    EXPECT_FLOAT_EQ(atlas.texelSize, 5.0f);
    EXPECT_EQ(atlas.width & (atlas.width - 1), 0);
    EXPECT_EQ(atlas.height & (atlas.height - 1), 0);
    EXPECT_EQ(clashingTexels(m.meshes[0], atlas), 0);
    // Texel area matches surface area on flat charts (the floor's top: 400 x 300 cm).
    double texels = 0.0, area = 0.0;
    for (const Triangle& t : m.meshes[0].shapes[0].triangles) {
        Vec2 a = t.lightUv[0], b = t.lightUv[1], c = t.lightUv[2];
        texels += 0.5 * std::fabs(cross2(b - a, c - a)) * atlas.width * atlas.height;
        area += faceArea(m.meshes[0].shapes[0], t);
    }
    EXPECT_NEAR(texels, area / 25.0, area / 25.0 * 0.01);
    // A density that does not fit the largest atlas is lowered until it does.
    options.texelSize = 0.5f;
    options.maxSize = 256;
    Atlas small = unwrapLightmap(m.meshes[0], [](const std::string& mat) { return mat != "glow"; }, options);
    EXPECT_LE(small.width, 256);
    EXPECT_LE(small.height, 256);
    EXPECT_GT(small.texelSize, 0.5f);
    EXPECT_EQ(clashingTexels(m.meshes[0], small), 0);
}

TEST(BuildGeometry, RefusesMaterialsItCannotDraw)
{
    std::string error;
    Model m;
    m.addMesh("thing", 1).add(box("unknown", {1, 1, 1}));
    EXPECT_FALSE(buildGeometry(m, lookup, &error));
    EXPECT_NE(error.find("thing"), std::string::npos);
    EXPECT_NE(error.find("unknown"), std::string::npos);
    Model bad;
    bad.addMesh("thing", 1).add(box("bad", {1, 1, 1}));
    EXPECT_FALSE(buildGeometry(bad, lookup, &error));
    EXPECT_NE(error.find("bad"), std::string::npos);
}

TEST(BuildGeometry, VersionOneStoresTheFileTransforms)
{
    Model m;
    m.version = 1;
    ModelMesh& hub = m.addMesh("hub", 7);
    hub.fileTransform = translate(10, 20, 30) * rotateY(90);
    hub.add(box("glow", {1, 1, 1}));
    std::string error;
    auto g = buildGeometry(m, lookup, &error);
    ASSERT_TRUE(g) << error;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(writeGeometry(*g, bytes, &error)) << error;
    auto back = parseGeometry(bytes.data(), bytes.size(), &error);
    ASSERT_TRUE(back) << error;
    const Mesh& mesh = *back->meshes[0];
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(mesh.fileTransform.a[i], hub.fileTransform.a[i]);
    sm::Vec3 p = sm::transformPoint(mesh.fileTransformInverse * mesh.fileTransform, {3, 4, 5});
    EXPECT_NEAR(p.x, 3, 1e-4);
    EXPECT_NEAR(p.z, 5, 1e-4);
}
