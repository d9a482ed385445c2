#include "demo/cigarette.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "content/geometry/geometry.h"
#include "content/texture.h"
#include "render/screen_quad.h"
#include "tests/demo/memory_content.h"
#include "tests/support/gl_context.h"
#include "tests/support/scene_builders.h"

namespace {

using murmur::test::addMesh;
using murmur::test::addNode;
using murmur::test::linearTrack;
using murmur::test::MemoryContent;

// The e-cigarette: its tip moves from the origin to (100, 0, 0) over 10 s;
// the head stands at (10, 20, 30), its target 100 further along +Z.
void addCigarette(MemoryContent& content) {
    Geometry& geometry = content.geometry("epapieros");
    addMesh(geometry, 1, "body");
    addMesh(geometry, 2, "dym_papierosa");
    addMesh(geometry, 3, "glowa");
    addMesh(geometry, 4, "glowa_trg");
    SceneNode& root = content.animation("epapieros");
    addNode(root, "body", 1);
    addNode(root, "dym_papierosa", 2)->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {10.0f, {100, 0, 0}}});
    addNode(root, "glowa", 3)->position = {10, 20, 30};
    addNode(root, "glowa_trg", 4)->position = {10, 20, 130};
}

std::string source(const char* file) {
    std::ifstream in(std::string(MURMUR_SOURCE_DIR) + "/data/effects/" + file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Cigarette, TheTipSmokeRisesFromTheTipAndTheJetBlowsFromTheHeadTowardsItsTarget) {
    MemoryContent content;
    addCigarette(content);
    const ContentManager& manager = content.manager();
    Cigarette cigarette(manager, manager.findAnimation("epapieros"), manager.findGeometry("epapieros"), nullptr);
    const sm::Mat4 view = sm::translation({0, 0, -500});
    const sm::Mat4 projection = sm::perspectiveFovX(1.0f, 1.5f, 1.0f, 1000.0f);
    cigarette.setCamera(&view, &projection);
    cigarette.init();
    std::vector<std::string> problems;
    cigarette.problems(problems);
    EXPECT_TRUE(problems.size() == 2u) << "only the program and the texture are missing";

    for (int frame = 0; frame < 30; ++frame) cigarette.update(5.0f, 0.1f);
    const ParticleEmitter& tip = cigarette.tipSmoke();
    const ParticleEmitter& jet = cigarette.jet();
    EXPECT_EQ(tip.capacity, 100u);
    EXPECT_EQ(jet.capacity, 100u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(tip.view.a[i], view.a[i]);
        EXPECT_EQ(jet.projection.a[i], projection.a[i]);
    }
    // Twenty a second, living half a second to a second (tip) or one to two
    // seconds (jet).
    EXPECT_GE(tip.activeCount, 9u);
    EXPECT_LE(tip.activeCount, 21u);
    EXPECT_GE(jet.activeCount, 19u);
    EXPECT_LE(jet.activeCount, 41u);

    // At 5 s the tip is at (50, 0, 0): its smoke does not move of itself,
    // it only drifts up at 50 per second, thickening and fading.
    for (const auto& p : tip.particles) {
        if (!p->alive) continue;
        EXPECT_FLOAT_EQ(p->position.x, 50.0f);
        EXPECT_FLOAT_EQ(p->position.z, 0.0f);
        EXPECT_NEAR(p->position.y, 50.0f * p->age, 1e-3f);
        EXPECT_GE(p->life, 0.5f);
        EXPECT_LE(p->life, 1.0f);
        EXPECT_GE(p->size, 4.0f);
        EXPECT_LE(p->size, 50.0f);
        EXPECT_LE(p->colour.w, 0.5f);
    }
    // The jet leaves the head towards its target at up to 200 per second,
    // within its narrow spread, drifting up at 100 per second.
    int ahead = 0;
    for (const auto& p : jet.particles) {
        if (!p->alive) continue;
        EXPECT_GE(p->life, 1.0f);
        EXPECT_LE(p->life, 2.0f);
        EXPECT_GT(p->direction.z, 0.9f);
        const sm::Vec3 travelled = p->position - sm::Vec3{10, 20, 30};
        EXPECT_NEAR(travelled.y, 100.0f * p->age + p->direction.y * (travelled.z / p->direction.z), 1.0f);
        EXPECT_LE(travelled.z, 200.0f * p->age + 1e-3f);
        EXPECT_LT(std::abs(travelled.x), 0.25f * travelled.z + 1e-3f);
        if (travelled.z > 50.0f) ++ahead;
    }
    EXPECT_GT(ahead, 0);
}

TEST(Cigarette, WithoutItsMeshesItDoesNotSmoke) {
    MemoryContent content;
    addMesh(content.geometry("epapieros"), 1, "body");
    addNode(content.animation("epapieros"), "body", 1);
    const ContentManager& manager = content.manager();
    Cigarette cigarette(manager, manager.findAnimation("epapieros"), manager.findGeometry("epapieros"), nullptr);
    for (int frame = 0; frame < 30; ++frame) cigarette.update(1.0f, 0.1f);
    EXPECT_EQ(cigarette.tipSmoke().activeCount, 0u);
    EXPECT_EQ(cigarette.jet().activeCount, 0u);
    std::vector<std::string> problems;
    cigarette.problems(problems);
    EXPECT_NE(problems[0].find("dym_papierosa"), std::string::npos);
    EXPECT_NE(problems[1].find("glowa"), std::string::npos);
}

// What drawSmoke draws, counted by the GL itself: two triangles a particle.
class CigaretteDraw : public murmur::test::GlTest {};

TEST_F(CigaretteDraw, TheJetIsSeenOnlyStrictlyInsideItsWindowButAlwaysMoves) {
    MemoryContent content;
    addCigarette(content);
    content.program("DistortParticle", source("DistortParticle.vpr"), source("DistortParticle.fpr"));
    const std::uint8_t white[4] = {255, 255, 255, 255};
    content.texture("smoke", createTexture(1, 1, 32, white, GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR, false));
    const ContentManager& manager = content.manager();
    ASSERT_TRUE(manager.findProgram("DistortParticle")->bindAttributes({{"a_position", 0}}));
    ScreenQuad quad;
    ASSERT_TRUE(quad.create());
    Cigarette cigarette(manager, manager.findAnimation("epapieros"), manager.findGeometry("epapieros"), &quad);
    const sm::Mat4 view = sm::translation({0, 0, -500});
    const sm::Mat4 projection = sm::perspectiveFovX(1.0f, 1.0f, 1.0f, 1000.0f);
    cigarette.setCamera(&view, &projection);
    cigarette.init();
    for (int frame = 0; frame < 20; ++frame) cigarette.update(1.0f, 0.1f);
    const unsigned tip = cigarette.tipSmoke().activeCount;
    const unsigned jet = cigarette.jet().activeCount;
    ASSERT_GT(tip, 0u);
    ASSERT_GT(jet, 0u);

    GLuint query = 0;
    glGenQueries(1, &query);
    const auto trianglesAt = [&](float t) {
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        cigarette.drawSmoke(t);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint count = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        return count;
    };
    EXPECT_EQ(trianglesAt(100.0f), 2 * tip);
    EXPECT_EQ(trianglesAt(Cigarette::kJetFrom), 2 * tip);
    EXPECT_EQ(trianglesAt(100.38f), 2 * (tip + jet));
    EXPECT_EQ(trianglesAt(106.37f), 2 * (tip + jet));
    EXPECT_EQ(trianglesAt(Cigarette::kJetUntil), 2 * tip);
    EXPECT_EQ(trianglesAt(200.0f), 2 * tip);
    glDeleteQueries(1, &query);
    glUseProgram(0);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

}  // namespace
