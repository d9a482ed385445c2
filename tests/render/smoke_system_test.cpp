#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "content/geometry/geometry.h"
#include "math/runtime_random.h"
#include "render/smoke_system.h"
#include "tests/render/render_fixture.h"

namespace {

// A property holder of the type and kind, stored on the mesh.
MeshProperty& addProperty(Mesh& mesh, const std::string& name, std::int32_t type, std::int32_t kind) {
    auto p = std::make_unique<MeshProperty>();
    p->name = name;
    p->valueType = type;
    p->animationKind = kind;
    p->createHolder();
    return *mesh.addProperty(std::move(p));
}

void addConstant(Mesh& mesh, const std::string& name, float value) {
    addProperty(mesh, name, kPropFloat, kPropConstant).value = value;
}

void addIntConstant(Mesh& mesh, const std::string& name, int value) {
    addProperty(mesh, name, kPropInt, kPropConstant).value = std::int32_t{value};
}

// A linear curve that starts at `atZero` and moves away from it afterwards.
void addCurve(Mesh& mesh, const std::string& name, float atZero) {
    IInterpolator<float>* curve = addProperty(mesh, name, kPropFloat, kPropLinear).curve<float>();
    curve->appendKey(0.0f, atZero, false);
    curve->appendKey(2.0f, atZero + 100.0f, false);
}

// A mesh marked as a smoke source over the triangle p0, p1, p2 (vertex
// format 1: position and normal).
Mesh& addSource(Geometry& geometry, const std::string& name, sm::Vec3 p0, sm::Vec3 p1, sm::Vec3 p2) {
    Mesh& mesh = *geometry.addMesh(static_cast<std::int32_t>(geometry.meshes.size()), name);
    SubMesh& sub = *mesh.addSubMesh();
    EXPECT_TRUE(sub.setVertices(1, {p0.x, p0.y, p0.z, 0, 1, 0, p1.x, p1.y, p1.z, 0, 1, 0, p2.x, p2.y, p2.z, 0, 1, 0}));
    addIntConstant(mesh, "particles_per_second", 25);
    addConstant(mesh, "life_time_min", 1.5f);
    addConstant(mesh, "life_time_max", 2.5f);
    addConstant(mesh, "size_start", 0.5f);
    addConstant(mesh, "size_end", 3.0f);
    addConstant(mesh, "opacity_start", 0.4f);
    addConstant(mesh, "opacity_end", 0.0f);
    addConstant(mesh, "speed_start", 30.0f);
    addConstant(mesh, "speed_end", 5.0f);
    return mesh;
}

TEST(SmokeSources, ReadsCornerEdgesAndPropertiesOfEachMarkedTriangle) {
    Geometry geometry;
    Mesh& vent = addSource(geometry, "vent", {10, 0, 5}, {14, 0, 5}, {10, 0, 2});
    addCurve(vent, "speed_start", 12.0f);  // animated: read at time 0
    addConstant(vent, "particles_per_second", 7.9f);  // a float rate is truncated

    std::vector<std::string> problems;
    const auto sources = readSmokeSources(geometry, "smoke_sources", &problems);
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(sources.size(), 1u);
    const SmokeSource& s = sources[0];
    EXPECT_EQ(s.meshName, "vent");
    EXPECT_EQ(s.corner, (sm::Vec3{10, 0, 5}));
    EXPECT_EQ(s.edge1, (sm::Vec3{4, 0, 0}));
    EXPECT_EQ(s.edge2, (sm::Vec3{0, 0, -3}));
    // unit(edge1) x unit(edge2) = (1, 0, 0) x (0, 0, -1) = (0, 1, 0).
    EXPECT_EQ(s.normal, (sm::Vec3{0, 1, 0}));
    EXPECT_EQ(s.particlesPerSecond, 7u);
    EXPECT_EQ(s.lifeMin, 1.5f);
    EXPECT_EQ(s.lifeMax, 2.5f);
    EXPECT_EQ(s.sizeStart, 5.0f);
    EXPECT_EQ(s.sizeEnd, 30.0f);
    EXPECT_EQ(s.opacityStart, 0.4f);
    EXPECT_EQ(s.opacityEnd, 0.0f);
    EXPECT_EQ(s.speedStart, 12.0f);
    EXPECT_EQ(s.speedEnd, 5.0f);
}

TEST(SmokeSources, UnusableMeshesAreSkippedWithTheirReasonAndTheOthersKept) {
    Geometry geometry;
    addSource(geometry, "first", {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    Mesh& noLife = addSource(geometry, "no_life", {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    noLife.properties.erase("life_time_max");
    Mesh& text = addSource(geometry, "text_rate", {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    addProperty(text, "opacity_end", kPropString, kPropConstant);
    Mesh& negative = addSource(geometry, "negative", {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    addIntConstant(negative, "particles_per_second", -5);
    Mesh& empty = addSource(geometry, "empty_curve", {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    addProperty(empty, "size_end", kPropFloat, kPropTcb);
    Mesh& line = addSource(geometry, "two_vertices", {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    ASSERT_TRUE(line.subMeshes[0]->setVertices(0, {0, 0, 0, 1, 0, 0}));
    Mesh& bare = *geometry.addMesh(99, "no_submesh");
    for (const auto& [name, property] : geometry.meshes[0]->properties) addConstant(bare, name, 1.0f);
    addSource(geometry, "last", {5, 5, 5}, {6, 5, 5}, {5, 5, 6});

    std::vector<std::string> problems;
    const auto sources = readSmokeSources(geometry, "smoke_sources", &problems);
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0].meshName, "first");
    EXPECT_EQ(sources[1].meshName, "last");
    ASSERT_EQ(problems.size(), 6u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"\"no_life\"", "\"life_time_max\" is missing"},
        {"\"text_rate\"", "\"opacity_end\" is not a number"},
        {"\"negative\"", "\"particles_per_second\" is out of range"},
        {"\"empty_curve\"", "\"size_end\" has no keys"},
        {"\"two_vertices\"", "fewer than three vertices"},
        {"\"no_submesh\"", "no submesh"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NE(problems[i].find("smoke_sources"), std::string::npos) << problems[i];
        EXPECT_NE(problems[i].find(expected[i].first), std::string::npos) << problems[i];
        EXPECT_NE(problems[i].find(expected[i].second), std::string::npos) << problems[i];
    }
}

TEST(SmokeSystem, OneAreaEmitterPerSourceShapedByItsRecord) {
    Geometry geometry;
    addSource(geometry, "a", {10, 0, 5}, {14, 0, 5}, {10, 0, 2});
    addSource(geometry, "b", {0, 0, 0}, {0, 2, 0}, {0, 0, 2});
    SmokeSystem smoke;
    smoke.build(&geometry, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(smoke.emitters().size(), 2u);
    const ParticleEmitter& a = *smoke.emitters()[0];
    EXPECT_EQ(a.capacity, 1000u);
    EXPECT_EQ(a.type, ParticleEmitter::kArea);
    EXPECT_EQ(a.origin, (sm::Vec3{10, 0, 5}));
    EXPECT_EQ(a.edge2, (sm::Vec3{0, 0, -3}));
    EXPECT_EQ(a.particlesPerSecond, 25u);
    EXPECT_EQ(a.drift, (sm::Vec3{0, 200, 0}));
    // Halfway through a life: the record's values at both ends, blended.
    float size = 0.0f, speed = 0.0f;
    sm::Vec4 colour;
    a.size.evaluate(0.5f, size, 0);
    a.speed.evaluate(0.5f, speed, 0);
    a.colour.evaluate(0.5f, colour, 0);
    EXPECT_FLOAT_EQ(size, 17.5f);
    EXPECT_FLOAT_EQ(speed, 17.5f);
    EXPECT_FLOAT_EQ(colour.w, 0.2f);
    EXPECT_EQ(colour.x, 1.0f);
    // Directions: the normalised normals, (0, 1, 0) and (0, 1, 0) x (0, 0, 1).
    EXPECT_EQ(a.direction, (sm::Vec3{0, 1, 0}));
    EXPECT_EQ(smoke.emitters()[1]->direction, (sm::Vec3{1, 0, 0}));
}

TEST(SmokeSystem, UpdateHandsTheCameraToEveryEmitterAndTheSmokeRises) {
    const std::uint32_t saved = sm::runtimeRandState();
    Geometry geometry;
    addSource(geometry, "a", {0, 0, 0}, {4, 0, 0}, {0, 0, 4});
    addSource(geometry, "b", {0, 0, 0}, {4, 0, 0}, {0, 0, 4});
    SmokeSystem smoke;
    smoke.build(&geometry, nullptr, nullptr, nullptr, nullptr);
    smoke.view.a[12] = 3.0f;
    smoke.projection.a[0] = 0.5f;
    for (int i = 0; i < 10; ++i) smoke.update(0.02f);  // 25 per second: 5 each
    for (const auto& emitter : smoke.emitters()) {
        EXPECT_EQ(emitter->view, smoke.view);
        EXPECT_EQ(emitter->projection, smoke.projection);
        EXPECT_EQ(emitter->activeCount, 5u);
        for (const auto& p : emitter->particles) {
            if (!p->alive) continue;
            EXPECT_GT(p->position.y, 0.0f) << "drift and direction both point up";
        }
    }
    EXPECT_EQ(smoke.handler()->modelViewMatrix, smoke.view);
    sm::setRuntimeRandState(saved);
}

class SmokeContentTest : public murmur::test::RenderTest {};

TEST_F(SmokeContentTest, ContentWithoutSourcesOrSmokeTextureIsReported) {
    SmokeSystem smoke;
    std::vector<std::string> problems;
    ScreenQuad quad;  // never drawn
    smoke.build(murmur::test::effects(), quad, &problems);  // programs only
    EXPECT_TRUE(smoke.emitters().empty());
    ASSERT_EQ(problems.size(), 2u);
    // Quoted, as the show names everything it looks up by name.
    EXPECT_NE(problems[0].find("\"smoke_sources\""), std::string::npos);
    EXPECT_NE(problems[1].find("\"smoke\""), std::string::npos);
    smoke.update(0.1f);
    smoke.draw();
}

}  // namespace
