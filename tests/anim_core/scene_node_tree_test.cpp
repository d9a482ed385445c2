#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "anim/core/linear_interpolator.h"
#include "anim/core/scene_node.h"
#include "anim/core/tcb_interpolator.h"
#include "test_attachments.h"

namespace {

SceneNode* add(SceneNode& parent, const std::string& name, int id = 0) {
    auto node = std::make_unique<SceneNode>();
    node->name = name;
    node->id = id;
    return parent.addChild(std::move(node));
}

std::shared_ptr<IInterpolator<sm::Vec3>> endingAt(float time) {
    auto curve = std::make_shared<LinearInterpolator<sm::Vec3>>();
    curve->appendKey(0.0f, {}, false);
    curve->appendKey(time, {1, 1, 1}, false);
    return curve;
}

// root
//   arm (1)
//     hand (2)
//       finger (3)
//   hand (4)
//   leg (5)
struct Body {
    SceneNode root;
    SceneNode* arm;
    SceneNode* deepHand;
    SceneNode* finger;
    SceneNode* hand;
    SceneNode* leg;
    Body() {
        root.name = "root";
        arm = add(root, "arm", 1);
        deepHand = add(*arm, "hand", 2);
        finger = add(*deepHand, "finger", 3);
        hand = add(root, "hand", 4);
        leg = add(root, "leg", 5);
    }
};

TEST(SceneNodeTree, FindNodeSearchesDepthFirstFromItself) {
    Body body;
    EXPECT_EQ(body.root.findNode("root"), &body.root);
    EXPECT_EQ(body.root.findNode("hand"), body.deepHand);
    EXPECT_EQ(body.root.findNode("finger"), body.finger);
    EXPECT_EQ(body.root.findNode("Hand"), nullptr);  // exact, case-sensitive
    EXPECT_EQ(body.root.findNode("han"), nullptr);
}

TEST(SceneNodeTree, FindChildPrefersDirectChildrenAndSkipsItself) {
    Body body;
    EXPECT_EQ(body.root.findChild("hand"), body.hand);
    EXPECT_EQ(body.root.findChild("root"), nullptr);
    EXPECT_EQ(body.arm->findChild("arm"), nullptr);
    EXPECT_EQ(body.root.findChild("finger"), body.finger);
}

TEST(SceneNodeTree, FindByIdAndCollectInPreOrder) {
    Body body;
    EXPECT_EQ(body.root.findNodeById(3), body.finger);
    EXPECT_EQ(body.root.findNodeById(0), &body.root);
    EXPECT_EQ(body.root.findNodeById(42), nullptr);
    std::vector<SceneNode*> list{&body.root};
    body.root.collectNodes(list);
    EXPECT_EQ(list, (std::vector<SceneNode*>{&body.root, &body.root, body.arm, body.deepHand, body.finger,
                                              body.hand, body.leg}));
}

TEST(SceneNodeTree, BindMeshesMatchesIdsSkipsZeroAndTakesTheFirstOfDuplicates) {
    Body body;
    std::vector<std::unique_ptr<TestMesh>> meshes;
    meshes.push_back(std::make_unique<TestMesh>(0));
    meshes.push_back(std::make_unique<TestMesh>(2));
    meshes.push_back(std::make_unique<TestMesh>(4));
    meshes.push_back(std::make_unique<TestMesh>(2));
    TestMesh previous(99);
    body.leg->attachment = &previous;
    body.root.bindMeshes(meshes);
    EXPECT_EQ(body.root.attachment, nullptr);  // id 0 never binds, even to a mesh with id 0
    EXPECT_EQ(body.deepHand->attachment, meshes[1].get());
    EXPECT_EQ(body.hand->attachment, meshes[2].get());
    EXPECT_EQ(body.arm->attachment, nullptr);
    EXPECT_EQ(body.leg->attachment, &previous);  // no match keeps what it had

    std::vector<ITransformable*> raw{meshes[3].get()};
    body.root.bindMeshes(raw);
    EXPECT_EQ(body.deepHand->attachment, meshes[3].get());
}

TEST(SceneNodeTree, BindCameraTakesTheNodeWithItsId) {
    Body body;
    TestCamera camera(3), none(0);
    body.root.bindCamera(&camera);
    body.root.bindCamera(&none);
    EXPECT_EQ(body.finger->attachment, &camera);
    EXPECT_EQ(body.root.attachment, nullptr);
    EXPECT_EQ(body.arm->attachment, nullptr);
}

TEST(SceneNodeTree, CopyTracksSharesCurvesByNameAndKeepsIdentity) {
    Body target;
    TestMesh mesh(4);
    target.hand->attachment = &mesh;
    target.hand->positionHint = 3;
    target.hand->scaleHint = 2;
    SceneNode source;
    source.name = "anim";
    SceneNode* hand = add(source, "hand", 77);
    hand->positionTrack = endingAt(2.0f);
    hand->rotationTrack = std::make_shared<TCBInterpolator<sm::Quat>>();
    hand->scale = {2, 2, 2};
    hand->position = {1, 2, 3};
    hand->rotation = {0, 1, 0, 0};
    hand->pivot = sm::translation({0, 0, 4});
    add(*hand, "extra");

    target.root.copyTracksFrom(source);
    for (SceneNode* node : {target.deepHand, target.hand}) {
        EXPECT_EQ(node->positionTrack, hand->positionTrack);
        EXPECT_EQ(node->rotationTrack, hand->rotationTrack);
        EXPECT_EQ(node->scaleTrack, nullptr);
        EXPECT_EQ(node->position, (sm::Vec3{1, 2, 3}));
        EXPECT_EQ(node->rotation, (sm::Quat{0, 1, 0, 0}));
        EXPECT_EQ(node->scale, (sm::Vec3{2, 2, 2}));
        EXPECT_EQ(node->pivot, hand->pivot);
        EXPECT_EQ(node->positionHint + node->rotationHint + node->scaleHint, 0);
    }
    EXPECT_EQ(target.hand->id, 4);
    EXPECT_EQ(target.hand->name, "hand");
    EXPECT_EQ(target.hand->attachment, &mesh);
    EXPECT_TRUE(target.hand->children.empty());
    EXPECT_EQ(target.arm->positionTrack, nullptr);
    EXPECT_EQ(target.root.findNode("extra"), nullptr);
}

TEST(SceneNodeTree, CopyTracksWithoutCommonNamesChangesNothingAndLastNamesakeWins) {
    Body target;
    target.leg->position = {5, 5, 5};
    target.leg->positionHint = 7;
    SceneNode stranger;
    stranger.name = "other";
    add(stranger, "tail")->positionTrack = endingAt(1.0f);
    target.root.copyTracksFrom(stranger);
    EXPECT_EQ(target.leg->position, (sm::Vec3{5, 5, 5}));
    EXPECT_EQ(target.leg->positionHint, 7);
    for (SceneNode* node : {&target.root, target.arm, target.deepHand, target.finger, target.hand})
        EXPECT_EQ(node->positionTrack, nullptr);

    SceneNode twins;
    add(twins, "leg")->position = {1, 0, 0};
    add(twins, "leg")->position = {2, 0, 0};
    target.root.copyTracksFrom(twins);
    EXPECT_EQ(target.leg->position, (sm::Vec3{2, 0, 0}));
    // Copying again refills the scratch lists rather than growing them.
    target.root.copyTracksFrom(twins);
    EXPECT_EQ(target.leg->position, (sm::Vec3{2, 0, 0}));
}

TEST(SceneNodeTree, DurationIsTheLatestKeyAndStaysCachedUntilRetargeted) {
    Body body;
    EXPECT_EQ(body.root.duration(), 0.0f);  // no keys anywhere

    Body animated;
    animated.finger->scaleTrack = endingAt(4.5f);
    animated.hand->rotationTrack = std::make_shared<TCBInterpolator<sm::Quat>>();
    animated.hand->rotationTrack->appendKey(6.0f, {}, false);
    EXPECT_EQ(animated.root.duration(), 6.0f);
    EXPECT_EQ(animated.finger->duration(), 4.5f);

    // A change by hand is not seen: the value is cached.
    animated.leg->positionTrack = endingAt(9.0f);
    EXPECT_EQ(animated.root.duration(), 6.0f);

    // Retargeting a node clears its cache.
    SceneNode source;
    source.name = "root";
    source.positionTrack = endingAt(12.0f);
    animated.root.copyTracksFrom(source);
    EXPECT_EQ(animated.root.duration(), 12.0f);
}

TEST(SceneNodeTree, DurationIgnoresKeysBeforeZero) {
    SceneNode node;
    auto curve = std::make_shared<LinearInterpolator<sm::Vec3>>();
    curve->appendKey(-3.0f, {}, false);
    node.positionTrack = curve;
    EXPECT_EQ(node.duration(), 0.0f);
}

TEST(SceneNodeTree, TrackEndCountsOnlyTheNodesOwnTracks) {
    Body body;
    body.arm->positionTrack = endingAt(2.0f);
    body.arm->scaleTrack = endingAt(3.0f);
    body.arm->rotationTrack = std::make_shared<TCBInterpolator<sm::Quat>>();  // empty
    body.finger->positionTrack = endingAt(8.0f);
    EXPECT_EQ(body.root.trackEnd(1), 3.0f);
    EXPECT_EQ(body.root.trackEnd(3), 8.0f);
    EXPECT_EQ(body.root.trackEnd(5), 0.0f);
    EXPECT_EQ(body.root.trackEnd(1234), 0.0f);  // no such node: 0, no crash
}

}  // namespace
