#include <gtest/gtest.h>

#include <memory>

#include "anim/core/linear_interpolator.h"
#include "anim/core/scene_node.h"
#include "anim/core/tcb_interpolator.h"
#include "test_attachments.h"

namespace {

const sm::Mat4 kIdentity = sm::identityMatrix();

void expectNear(sm::Vec3 actual, sm::Vec3 expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectNear(const sm::Mat4& actual, const sm::Mat4& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual.a[i], expected.a[i], tolerance) << i;
}

sm::Mat4 marker() {
    sm::Mat4 m;
    for (int i = 0; i < 16; ++i) m.a[i] = static_cast<float>(100 + i);
    return m;
}

std::shared_ptr<LinearInterpolator<sm::Vec3>> line(sm::Vec3 from, sm::Vec3 to, float length) {
    auto curve = std::make_shared<LinearInterpolator<sm::Vec3>>();
    curve->appendKey(0.0f, from, false);
    curve->appendKey(length, to, false);
    return curve;
}

TEST(SceneNodeUpdate, ConstantsComposeScaleThenRotationThenTranslation) {
    SceneNode node;
    node.position = {1.0f, 1.0f, 1.0f};
    node.rotation = sm::fromAxisAngle({0.0f, 0.0f, 1.0f}, 1.5707963f);
    node.scale = {2.0f, 2.0f, 2.0f};
    node.updateNode(0.0f, 0.0f, kIdentity);
    expectNear(sm::transformPoint(node.world, {1.0f, 0.0f, 0.0f}), {1.0f, 3.0f, 1.0f});
}

TEST(SceneNodeUpdate, ScaledIdentityQuaternionAddsNoRotation) {
    SceneNode node;
    node.rotation = {3.0f, 0.0f, 0.0f, 0.0f};
    node.position = {4.0f, 5.0f, 6.0f};
    node.updateNode(0.0f, 0.0f, kIdentity);
    EXPECT_EQ(node.world, sm::translation({4.0f, 5.0f, 6.0f}));
}

TEST(SceneNodeUpdate, MeshGetsModelParentNodeAndPivotAndPassesTheModelDown) {
    const sm::Mat4 model = sm::scaling({3.0f, 3.0f, 3.0f});
    TestMesh mesh(7, model);
    SceneNode node;
    node.attachment = &mesh;
    node.position = {1.0f, 0.0f, 0.0f};
    node.pivot = sm::translation({0.0f, 0.0f, 10.0f});
    SceneNode* child = node.addChild(std::make_unique<SceneNode>());
    child->position = {0.0f, 1.0f, 0.0f};
    const sm::Mat4 parent = sm::translation({0.0f, 0.0f, -1.0f});

    node.updateNode(0.0f, 0.016f, parent);
    const sm::Mat4 expected = model * parent * sm::translation({1.0f, 0.0f, 0.0f});
    expectNear(node.world, expected);
    expectNear(mesh.nodeMatrix(), expected);
    expectNear(mesh.renderMatrix(), expected * node.pivot);
    // The pivot acts on the mesh first: its origin lands 10 units up before
    // the node's transform.
    expectNear(sm::transformPoint(mesh.renderMatrix(), {}), {3.0f, 0.0f, 27.0f});
    expectNear(child->world, expected * sm::translation({0.0f, 1.0f, 0.0f}));
}

TEST(SceneNodeUpdate, CameraNodeWritesTheViewAndLeavesItselfAndChildrenAlone) {
    TestCamera camera(3);
    SceneNode node;
    node.attachment = &camera;
    node.position = {0.0f, -5.0f, 2.0f};
    node.scaleTrack = line({1, 1, 1}, {9, 9, 9}, 1.0f);
    node.world = marker();
    SceneNode* child = node.addChild(std::make_unique<SceneNode>());
    child->world = marker();
    node.scaleTrack->appendKey(2.0f, {1, 1, 1}, false);

    node.updateNode(1.5f, 0.0f, kIdentity);
    const sm::Mat4 x = sm::rotationAxisAngle({1.0f, 0.0f, 0.0f}, 1.570796251296997f);
    expectNear(camera.renderMatrix(), x * sm::inverse(sm::translation(node.position)));
    // The camera sits at the view's origin; the node's +Y is the view's +Z.
    expectNear(sm::transformPoint(camera.renderMatrix(), node.position), {0, 0, 0});
    expectNear(sm::transformPoint(camera.renderMatrix(), {0.0f, -4.0f, 2.0f}), {0, 0, 1});
    EXPECT_EQ(node.world, marker());
    EXPECT_EQ(child->world, marker());
    EXPECT_EQ(node.scaleHint, 0);  // the scale is not evaluated
}

TEST(SceneNodeUpdate, TracksOverrideConstantsAndKeepTheirHints) {
    auto position = std::make_shared<TCBInterpolator<sm::Vec3>>();
    for (int i = 0; i < 6; ++i) {
        const float t = static_cast<float>(i);
        position->appendKey(t, {t * t * t, 0.0f, 0.0f}, false);
    }
    SceneNode node;
    node.position = {50.0f, 50.0f, 50.0f};
    node.positionTrack = position;
    node.updateNode(3.5f, 0.0f, kIdentity);
    EXPECT_EQ(node.positionHint, 4);
    const float at35 = node.world.a[12];
    EXPECT_EQ(node.world.a[13], 0.0f);  // the constant is not mixed in

    // Going back without a reset evaluates the stale segment...
    node.updateNode(1.5f, 0.0f, kIdentity);
    sm::Vec3 right;
    position->evaluate(1.5f, right, 0);
    EXPECT_NE(node.world.a[12], right.x);
    // ...and after resetTrackHints the right one.
    node.resetTrackHints();
    EXPECT_EQ(node.positionHint, 0);
    node.updateNode(1.5f, 0.0f, kIdentity);
    EXPECT_EQ(node.world.a[12], right.x);
    node.updateNode(3.5f, 0.0f, kIdentity);
    EXPECT_EQ(node.world.a[12], at35);
}

TEST(SceneNodeUpdate, EmptyTrackFallsBackToTheConstant) {
    SceneNode node;
    node.position = {1.0f, 2.0f, 3.0f};
    node.positionTrack = std::make_shared<LinearInterpolator<sm::Vec3>>();
    node.updateNode(1.0f, 0.0f, kIdentity);
    EXPECT_EQ(node.world, sm::translation({1.0f, 2.0f, 3.0f}));
}

TEST(SceneNodeUpdate, NodeWithTwoParentsFollowsWhicheverUpdatedLast) {
    SceneNode a, b;
    SceneNode* shared = a.addChild(std::make_unique<SceneNode>());
    shared->position = {1.0f, 0.0f, 0.0f};
    b.appendChild(shared);
    a.position = {10.0f, 0.0f, 0.0f};
    b.position = {20.0f, 0.0f, 0.0f};
    a.updateNode(0.0f, 0.0f, kIdentity);
    EXPECT_EQ(shared->world.a[12], 11.0f);
    b.updateNode(0.0f, 0.0f, kIdentity);
    EXPECT_EQ(shared->world.a[12], 21.0f);
}

TEST(SceneNodeUpdate, PoseSamplesWithoutTouchingHintsPivotOrModel) {
    TestMesh mesh(1, sm::scaling({5.0f, 5.0f, 5.0f}));
    SceneNode node;
    node.attachment = &mesh;
    node.pivot = sm::translation({0.0f, 0.0f, 9.0f});
    node.positionTrack = line({0, 0, 0}, {10, 0, 0}, 1.0f);
    auto rotation = std::make_shared<TCBInterpolator<sm::Quat>>();
    rotation->appendKey(0.0f, {1, 0, 0, 0}, false);
    rotation->appendKey(1.0f, {1, 0, 0, 0}, false);
    rotation->appendKey(2.0f, {1, 0, 0, 0}, false);
    node.rotationTrack = rotation;
    node.rotationHint = 2;
    mesh.renderMatrix() = marker();
    SceneNode* child = node.addChild(std::make_unique<SceneNode>());
    child->position = {0.0f, 1.0f, 0.0f};

    node.updatePose(0.5f, sm::translation({0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(node.world, sm::translation({0.0f, 0.0f, 1.0f}) * sm::translation({5.0f, 0.0f, 0.0f}));
    EXPECT_EQ(mesh.nodeMatrix(), node.world);
    EXPECT_EQ(mesh.renderMatrix(), marker());
    EXPECT_EQ(node.rotationHint, 2);
    EXPECT_EQ(node.positionHint, 0);
    expectNear(sm::transformPoint(child->world, {}), {5.0f, 1.0f, 1.0f});
}

TEST(SceneNodeUpdate, OneCurveSharedByTwoTreesKeepsSeparateHints) {
    auto curve = std::make_shared<TCBInterpolator<sm::Vec3>>();
    for (int i = 0; i < 8; ++i) curve->appendKey(static_cast<float>(i), {static_cast<float>(i % 3), 0, 0}, false);
    SceneNode first, second;
    first.positionTrack = curve;
    second.positionTrack = curve;
    for (float t = 0.0f; t < 7.0f; t += 0.5f) {
        first.updateNode(t, 0.0f, kIdentity);
        second.updateNode(t * 0.5f, 0.0f, kIdentity);
        sm::Vec3 expectFirst, expectSecond;
        curve->evaluate(t, expectFirst, 0);
        curve->evaluate(t * 0.5f, expectSecond, 0);
        EXPECT_EQ(first.world.a[12], expectFirst.x) << t;
        EXPECT_EQ(second.world.a[12], expectSecond.x) << t;
    }
}

}  // namespace
