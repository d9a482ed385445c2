// Light-map baking on small scenes: shadows fall where the blockers are,
// lamps light what is near them, nothing is left unbaked, and every bake
// gives the same bytes.
#include "tools/bake/baker.h"
#include "tools/model/primitives.h"
#include "tools/model/transform.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace model;

namespace {

// A floor 400 x 400 with a roof slab over its western half (x < 0).
struct Scene {
    Model m;
    Scene()
    {
        ModelMesh& floor = m.addMesh("floor", 1);
        floor.add(box("lit", {400, 2, 400}, kPosY));
        ModelMesh& roof = m.addMesh("roof", 2);
        roof.add(transformed(box("lit", {200, 10, 400}), translate(-100, 200, 0)));
    }
};

bake::SurfaceOf surfaces()
{
    return [](const std::string& material) {
        bake::SurfaceInfo s;
        s.albedo = {0.5f, 0.5f, 0.5f};
        s.blocksLight = material != "glass";
        return s;
    };
}

bake::Lighting sunOnly()
{
    bake::Lighting l;
    l.sunTravel = {0, -1, 0};
    l.sunColour = {1, 1, 1};
    l.skyZenith = l.skyHorizon = {0, 0, 0};
    l.ambient = {0, 0, 0};
    l.gatherRays = 8;
    l.exposure = 3.0f;  // full sun: 1 - e^-3, about 242 of 255
    return l;
}

// The light-map value at a point of the floor's top (y = 1), by the
// triangles' light-map coordinates.
int floorValue(const Model& m, const model::Atlas& atlas, const pictures::Image& map, float x, float z)
{
    const Shape& s = m.meshes[0].shapes[0];
    for (const Triangle& t : s.triangles) {
        Vec2 p{x, z};
        Vec2 a{s.corner(t, 0).position.x, s.corner(t, 0).position.z}, b{s.corner(t, 1).position.x, s.corner(t, 1).position.z},
            c{s.corner(t, 2).position.x, s.corner(t, 2).position.z};
        float area = cross2(b - a, c - a);
        float w0 = cross2(b - p, c - p) / area, w1 = cross2(c - p, a - p) / area, w2 = 1 - w0 - w1;
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        Vec2 uv = t.lightUv[0] * w0 + t.lightUv[1] * w1 + t.lightUv[2] * w2;
        int px = static_cast<int>(uv.x * atlas.width), py = atlas.height - 1 - static_cast<int>(uv.y * atlas.height);
        return map.pixels[(static_cast<std::size_t>(py) * map.width + px) * 3];
    }
    ADD_FAILURE() << "no floor at " << x << ", " << z;
    return -1;
}

std::vector<bake::Target> targets(Model& m)
{
    std::vector<bake::Target> out;
    auto all = [](const std::string&) { return true; };
    UnwrapOptions o;
    o.texelSize = 10.0f;
    for (ModelMesh& mesh : m.meshes) out.push_back({&mesh, unwrapLightmap(mesh, all, o), all});
    return out;
}

} // namespace

TEST(Bake, SunCastsTheBlockersShadowAndEveryTexelIsFilled)
{
    Scene s;
    auto t = targets(s.m);
    bake::Result r = bake::bakeLightmaps(t, {}, sunOnly(), surfaces());
    ASSERT_EQ(r.maps.size(), 2u);
    EXPECT_GT(r.texels, 0);
    EXPECT_GT(r.rays, r.texels);
    const pictures::Image& floor = r.maps[0];
    EXPECT_EQ(floor.width, t[0].atlas.width);
    int shade = floorValue(s.m, t[0].atlas, floor, -100, 0), sun = floorValue(s.m, t[0].atlas, floor, 100, 0);
    EXPECT_LT(shade, 20) << "under the roof";
    EXPECT_GT(sun, 200) << "in the open";
    // Right at the roof's edge the shadow is sharp (a texel or two wide).
    EXPECT_LT(floorValue(s.m, t[0].atlas, floor, -25, 0), 40);
    EXPECT_GT(floorValue(s.m, t[0].atlas, floor, 25, 0), 180);
    for (const pictures::Image& map : r.maps)
        for (std::uint8_t v : map.pixels) ASSERT_GE(v, 4) << "a texel was left empty";
}

TEST(Bake, LampsLightWhatIsNearAndSeeThroughSurfacesLetLightPass)
{
    Scene s;
    // A pane of glass between the lamp and the floor changes nothing.
    s.m.meshes[1].add(transformed(box("glass", {400, 1, 400}), translate(0, 120, 0)));
    auto t = targets(s.m);
    bake::Lighting l = sunOnly();
    l.sunColour = {0, 0, 0};
    l.lamps.push_back({{150, 150, 150}, 5.0f, {1, 1, 1}, 4.0f, 600.0f});
    bake::Result r = bake::bakeLightmaps(t, {}, l, surfaces());
    int near = floorValue(s.m, t[0].atlas, r.maps[0], 150, 150), far = floorValue(s.m, t[0].atlas, r.maps[0], 150, -150);
    EXPECT_GT(near, far + 40);
    EXPECT_GT(near, 100);
}

TEST(Bake, BakingTwiceGivesTheSameBytes)
{
    Scene a, b;
    bake::Lighting l = sunOnly();
    l.skyZenith = {0.4f, 0.5f, 0.7f};
    l.skyHorizon = {0.6f, 0.6f, 0.6f};
    l.ambient = {0.1f, 0.1f, 0.1f};
    l.gatherRays = 16;
    l.lamps.push_back({{0, 100, 0}, 8.0f, {1, 0.8f, 0.6f}, 1.0f, 500.0f});
    auto ta = targets(a.m), tb = targets(b.m);
    bake::Result ra = bake::bakeLightmaps(ta, {}, l, surfaces());
    bake::Result rb = bake::bakeLightmaps(tb, {}, l, surfaces());
    ASSERT_EQ(ra.maps.size(), rb.maps.size());
    for (std::size_t i = 0; i < ra.maps.size(); ++i) EXPECT_TRUE(ra.maps[i].pixels == rb.maps[i].pixels);
}
