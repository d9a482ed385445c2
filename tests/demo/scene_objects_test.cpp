#include "demo/factory.h"
#include "demo/fan.h"
#include "demo/robot.h"
#include "tests/demo/memory_content.h"
#include "tests/support/scene_builders.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using murmur::test::addMesh;
using murmur::test::addNode;
using murmur::test::linearTrack;
using murmur::test::MemoryContent;
using murmur::test::translationOf;

bool mentions(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

std::vector<std::string> problemsOf(const GameObject& object) {
    std::vector<std::string> lines;
    object.problems(lines);
    return lines;
}

void expectNear(const sm::Mat4& actual, const sm::Mat4& expected, float tolerance) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.a[i], expected.a[i], tolerance) << "element " << i;
}

TEST(Factory, ContributesTheSetAsItLiesOrNothingWhenMissing) {
    MemoryContent content;
    addMesh(content.geometry("factory"), 1, "hall", 3);
    Factory factory(content.manager());
    factory.init();
    EXPECT_EQ(factory.submeshes(), content.geometry("factory").allSubMeshes);
    EXPECT_TRUE(problemsOf(factory).empty());

    MemoryContent empty;
    Factory none(empty.manager());
    none.init();
    none.update(1.0f, 0.1f);
    EXPECT_TRUE(none.submeshes().empty());
    EXPECT_TRUE(mentions(problemsOf(none), "\"factory\""));
}

// Two blades on a hub at c whose own x axis points along world -Z: the file
// transform maps the world into the hub's frame.
TEST(Fan, SpinsAboutItsHubUntil150SecondsThenStandsInItsFilePose) {
    MemoryContent content;
    Geometry& geometry = content.geometry("fan");
    const sm::Vec3 c{100, 250, -40};
    const sm::Mat4 hubToWorld = sm::translation(c) * sm::rotationAxisAngle({0, 1, 0}, 1.5707963f);
    for (int id : {1, 2}) {
        Mesh* blade = addMesh(geometry, id, "blade" + std::to_string(id));
        blade->fileTransform = sm::inverse(hubToWorld);
        blade->fileTransformInverse = hubToWorld;
    }
    Fan fan(content.manager());
    fan.init();
    EXPECT_EQ(fan.submeshes().size(), 2u);

    const auto spunBy = [&](float angle) {
        return sm::translation(c) * sm::rotationAxisAngle({0, 0, -1}, angle) * sm::translation({-c.x, -c.y, -c.z});
    };
    fan.update(0.5f, 0.25f);
    for (const auto& blade : geometry.meshes) expectNear(blade->renderMatrix(), spunBy(1.0f), 1e-4f);
    // The hub centre stays where it is.
    const sm::Vec3 centre = sm::transformPoint(geometry.meshes[0]->renderMatrix(), c);
    EXPECT_NEAR(centre.x, c.x, 1e-3f);
    EXPECT_NEAR(centre.y, c.y, 1e-3f);
    EXPECT_NEAR(centre.z, c.z, 1e-3f);

    fan.update(149.99f, 0.25f);
    for (const auto& blade : geometry.meshes) expectNear(blade->renderMatrix(), spunBy(2.0f), 1e-4f);
    fan.update(150.0f, 0.25f);
    for (const auto& blade : geometry.meshes) EXPECT_EQ(blade->renderMatrix(), sm::Mat4{});
    fan.update(151.0f, 0.25f);
    for (const auto& blade : geometry.meshes) EXPECT_EQ(blade->renderMatrix(), sm::Mat4{});
    EXPECT_EQ(fan.angle(), 2.0f);
}

TEST(Fan, WithoutItsGeometryItIsLeftOut) {
    MemoryContent content;
    Fan fan(content.manager());
    fan.init();
    fan.update(1.0f, 0.1f);
    EXPECT_TRUE(fan.submeshes().empty());
    EXPECT_TRUE(mentions(problemsOf(fan), "\"fan\""));
}

// The robot's skeleton (a hip carrying an arm), its first ride ("writting",
// a chair rolling along +X until 24 s), the throw (the arm moving until
// 30 s) and the first run (a path until 40 s with the walk cycle "run");
// every other clip's content is missing.
class RobotTest : public ::testing::Test {
protected:
    void SetUp() override {
        SceneNode& skeleton = content.animation("bind_pose");
        hip = addNode(skeleton, "Hip", 1);
        arm = addNode(*hip, "Arm", 2);
        Geometry& body = content.geometry("bind_pose");
        addMesh(body, 1, "hip");
        addMesh(body, 2, "arm");

        SceneNode* chair = addNode(content.animation("writting"), "chair", 5);
        chair->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {24.0f, {240, 0, 0}}});
        addNode(*chair, "quellon858")->position = {0, 50, 0};
        addMesh(content.geometry("writting"), 5, "chair", 2);

        addNode(content.animation("throw"), "Arm")->positionTrack =
            linearTrack({{25.0f, {0, 0, 0}}, {30.0f, {0, 100, 0}}});
        addNode(content.animation("run01"), "point")->positionTrack =
            linearTrack({{30.0f, {0, 0, 0}}, {40.0f, {5000, 0, 0}}});
        addNode(content.animation("run"), "Arm")->positionTrack = linearTrack({{0.0f, {0, 0, 0}}, {1.0f, {0, 0, 9}}});
    }
    bool chairShown() const {
        return std::none_of(chair->allSubMeshes.begin(), chair->allSubMeshes.end(), [](SubMesh* s) { return s->hidden; });
    }
    bool chairHidden() const {
        return std::all_of(chair->allSubMeshes.begin(), chair->allSubMeshes.end(), [](SubMesh* s) { return s->hidden; });
    }

    MemoryContent content;
    SceneNode* hip = nullptr;
    SceneNode* arm = nullptr;
    Geometry* chair = nullptr;
};

TEST_F(RobotTest, BuildsItsSixteenClipsAndGathersTheVehiclesBeforeItsOwnSubmeshes) {
    chair = &content.geometry("writting");
    Robot robot(content.manager(), nullptr);
    robot.init();
    EXPECT_EQ(robot.schedule().size(), 16u);
    std::vector<SubMesh*> expected = chair->allSubMeshes;
    const Geometry& body = content.geometry("bind_pose");
    expected.insert(expected.end(), body.allSubMeshes.begin(), body.allSubMeshes.end());
    EXPECT_EQ(robot.submeshes(), expected);
    EXPECT_TRUE(chairHidden());
    for (const auto& mesh : body.meshes) EXPECT_TRUE(mesh->castShadows);

    const std::vector<std::string> problems = problemsOf(robot);
    EXPECT_TRUE(mentions(problems, "\"go_to_posters\""));
    EXPECT_TRUE(mentions(problems, "\"credits_dance\""));
    for (const char* present : {"\"writting\"", "\"throw\"", "\"run01\"", "bind_pose"})
        EXPECT_FALSE(mentions(problems, present)) << present;
}

TEST(Robot, NamesEveryMissingPieceEvenWhereAnotherAlreadyStopsTheClip) {
    // No skeleton and no walk cycle; the chair's ride lacks its vehicle.
    MemoryContent content;
    addMesh(content.geometry("bind_pose"), 1, "hip");
    addNode(content.animation("writting"), "chair", 5);
    addNode(content.animation("run01"), "point");
    Robot robot(content.manager(), nullptr);
    robot.init();
    const std::vector<std::string> problems = problemsOf(robot);
    for (const char* missing : {"no animation \"bind_pose\"", "no animation \"run\"", "no geometry \"writting\"",
                                "no animation \"throw\"", "no animation \"run02\"", "no geometry \"whisky\""})
        EXPECT_TRUE(mentions(problems, missing)) << missing;
    EXPECT_FALSE(mentions(problems, "no animation \"writting\"")) << "the chair's ride is there";
    EXPECT_FALSE(mentions(problems, "no animation \"run01\""));
    EXPECT_FALSE(mentions(problems, "no walk cycle")) << "a clip's own problem waits for its content";
    // Sixteen clip animations less the two given, the seven vehicles'
    // geometries, the skeleton and the walk cycle.
    EXPECT_EQ(problems.size(), 14u + 7u + 2u);
}

TEST_F(RobotTest, PlaysEachClipUntilItsEndTimeAndNeverGoesBack) {
    chair = &content.geometry("writting");
    Robot robot(content.manager(), nullptr);
    robot.init();

    robot.update(1.0f, 0.02f);
    EXPECT_EQ(robot.schedule().active(), 0u);
    EXPECT_TRUE(chairShown());
    EXPECT_EQ(translationOf(hip->world), (sm::Vec3{10, 50, 0}));
    robot.update(24.0f, 0.02f);
    EXPECT_EQ(robot.schedule().active(), 0u);

    // The missing rides end at 0 and are passed over.
    robot.update(27.5f, 0.02f);
    EXPECT_EQ(robot.schedule().active(), 7u);
    EXPECT_TRUE(chairHidden());
    EXPECT_EQ(translationOf(arm->world), (sm::Vec3{0, 50, 0}));
    robot.update(10.0f, 0.02f);
    EXPECT_EQ(robot.schedule().active(), 7u);
    EXPECT_EQ(translationOf(arm->world), (sm::Vec3{0, 0, 0}));

    robot.update(35.0f, 0.02f);
    EXPECT_EQ(robot.schedule().active(), 8u);
    const sm::Mat4 running = robot.skeleton()->world;
    EXPECT_EQ(translationOf(running), (sm::Vec3{2500, 0, 0}));

    // After the last end time the robot keeps its last pose.
    robot.update(300.0f, 0.02f);
    EXPECT_EQ(robot.schedule().current(), 16u);
    EXPECT_EQ(robot.skeleton()->world, running);
}

TEST_F(RobotTest, DropsTheLightMapsOfItsOwnSubmeshesOnly) {
    chair = &content.geometry("writting");
    addMesh(content.geometry("factory"), 9, "floor");
    const ContentManager& manager = content.manager();
    Robot robot(manager, nullptr);
    Factory factory(manager);
    robot.init();
    factory.init();
    Texture* baked = reinterpret_cast<Texture*>(&content);  // never dereferenced
    for (const GameObject* object : {static_cast<GameObject*>(&robot), static_cast<GameObject*>(&factory)})
        for (SubMesh* sub : object->submeshes()) sub->lightMap = baked;
    robot.dropLightmaps();
    factory.dropLightmaps();
    for (SubMesh* sub : robot.submeshes()) EXPECT_EQ(sub->lightMap, nullptr);
    for (SubMesh* sub : factory.submeshes()) EXPECT_EQ(sub->lightMap, baked);
}

TEST(RobotWithoutContent, StandsStillAndSaysWhatIsMissing) {
    MemoryContent content;
    Robot robot(content.manager(), nullptr);
    robot.init();
    for (float t = 0.0f; t < 300.0f; t += 7.0f) robot.update(t, 7.0f);
    EXPECT_TRUE(robot.submeshes().empty());
    const std::vector<std::string> problems = problemsOf(robot);
    EXPECT_TRUE(mentions(problems, "geometry \"bind_pose\""));
    EXPECT_TRUE(mentions(problems, "animation \"bind_pose\""));
}

}  // namespace
