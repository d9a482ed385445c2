#include "anim/animation_file.h"
#include "anim/animation_writer.h"
#include "anim/core/linear_interpolator.h"
#include "anim/core/tcb_interpolator.h"
#include "content/geometry/byte_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr float kPi = 3.14159265358979f;

void identityPivot(ByteWriter& w) {
    const sm::Mat4 m;
    for (float f : m.a) w.writeFloat32(f);
}

// A node record with constant blocks, given rotation block and no children.
void node(ByteWriter& w, int id, const std::string& name, const std::function<void(ByteWriter&)>& rotation,
          int children = 0) {
    w.writeInt32(id);
    w.writeString(name);
    identityPivot(w);
    w.writeInt32(0);  // position constant
    w.writeFloat32(1);
    w.writeFloat32(2);
    w.writeFloat32(3);
    rotation(w);
    w.writeInt32(0);  // scale constant
    w.writeFloat32(1);
    w.writeFloat32(1);
    w.writeFloat32(1);
    w.writeInt32(children);
}

void constantRotation(ByteWriter& w, float angle, float a1, float a2, float a3) {
    w.writeInt32(0);
    w.writeFloat32(angle);
    w.writeFloat32(a1);
    w.writeFloat32(a2);
    w.writeFloat32(a3);
}

std::unique_ptr<SceneNode> parse(const ByteWriter& w, std::string* error = nullptr) {
    return parseAnimation(w.bytes().data(), w.bytes().size(), error);
}

void expectQuatNear(sm::Quat a, sm::Quat b, float tol = 1e-6f) {
    EXPECT_NEAR(a.w, b.w, tol);
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

TEST(AnimationFile, CountZeroGivesABareRoot) {
    ByteWriter w;
    w.writeInt32(0);
    auto root = parse(w);
    ASSERT_TRUE(root);
    EXPECT_TRUE(root->children.empty());
    EXPECT_EQ(root->id, 0);
    EXPECT_TRUE(root->name.empty());
}

TEST(AnimationFile, ConstantRotationKeepsItsAxisAndNegatesTheAngle) {
    ByteWriter w;
    w.writeInt32(1);
    node(w, 5, "lid", [](ByteWriter& b) { constantRotation(b, kPi / 2, 0, 0, 2); });
    auto root = parse(w);
    ASSERT_TRUE(root);
    const SceneNode& n = *root->children.at(0);
    EXPECT_EQ(n.id, 5);
    EXPECT_EQ(n.name, "lid");
    EXPECT_FALSE(n.positionTrack || n.rotationTrack || n.scaleTrack);
    EXPECT_EQ(n.position, (sm::Vec3{1, 2, 3}));
    // -π/2 about the system's Z axis (no exchange for constants).
    expectQuatNear(n.rotation, sm::fromAxisAngle({0, 0, 1}, -kPi / 2));
}

TEST(AnimationFile, RotationKeysAreRelativeWithExchangedAxis) {
    ByteWriter w;
    w.writeInt32(1);
    node(w, 1, "n", [](ByteWriter& b) {
        b.writeInt32(2);
        for (float t : {0.0f, 1.0f}) {
            b.writeFloat32(t);
            b.writeFloat32(kPi / 2);
            b.writeFloat32(0);
            b.writeFloat32(0);
            b.writeFloat32(1);
        }
    });
    auto root = parse(w);
    ASSERT_TRUE(root);
    auto& track = root->children.at(0)->rotationTrack;
    ASSERT_TRUE(track);
    ASSERT_EQ(track->keyCount(), 2);
    const sm::Quat q1 = sm::fromAxisAngle({0, 1, 0}, -kPi / 2);
    float time = 0;
    sm::Quat k;
    bool step = true;
    track->getKey(0, time, k, step);
    expectQuatNear(k, q1);
    EXPECT_FALSE(step);
    track->getKey(1, time, k, step);
    EXPECT_EQ(time, 1.0f);
    sm::Quat q2 = q1 * q1;  // -π about Y
    expectQuatNear(k, sm::normalize(q2));
    expectQuatNear(k, sm::fromAxisAngle({0, 1, 0}, -kPi));
}

TEST(AnimationFile, ChildrenNestInOrder) {
    ByteWriter w;
    w.writeInt32(2);
    node(w, 1, "Hip", [](ByteWriter& b) { constantRotation(b, 0, 0, 0, 0); }, 1);
    node(w, 2, "Spine", [](ByteWriter& b) { constantRotation(b, 0, 0, 0, 0); });
    node(w, 3, "Cam", [](ByteWriter& b) { constantRotation(b, 0, 0, 0, 0); });
    auto root = parse(w);
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children[0]->children.at(0)->name, "Spine");
    EXPECT_EQ(root->children[1]->name, "Cam");
    // A zero axis stays zero: no rotation, no NaN.
    EXPECT_EQ(root->children[1]->rotation, (sm::Quat{1, 0, 0, 0}));
}

TEST(AnimationFile, MalformedFilesGiveNull) {
    ByteWriter good;
    good.writeInt32(1);
    node(good, 1, "n", [](ByteWriter& b) {
        b.writeInt32(1);
        for (float f : {0.0f, 1.0f, 0.0f, 0.0f, 1.0f}) b.writeFloat32(f);
    });
    ASSERT_TRUE(parse(good));
    for (std::size_t n = 0; n < good.bytes().size(); ++n) {
        std::string error;
        EXPECT_FALSE(parseAnimation(good.bytes().data(), n, &error)) << n;
        EXPECT_FALSE(error.empty());
    }
    // Negative counts anywhere.
    ByteWriter neg;
    neg.writeInt32(-1);
    EXPECT_FALSE(parse(neg));
    ByteWriter negKeys;
    negKeys.writeInt32(1);
    node(negKeys, 1, "n", [](ByteWriter& b) { b.writeInt32(-2); });
    EXPECT_FALSE(parse(negKeys));
    ByteWriter negChildren;
    negChildren.writeInt32(1);
    node(negChildren, 1, "n", [](ByteWriter& b) { constantRotation(b, 0, 0, 0, 0); }, -1);
    EXPECT_FALSE(parse(negChildren));
    // Counts that cannot fit.
    ByteWriter huge;
    huge.writeInt32(0x7fffffff);
    EXPECT_FALSE(parse(huge));
}

TEST(AnimationFile, DeepNestingIsRefusedNotRecursedInto) {
    ByteWriter w;
    w.writeInt32(1);
    for (int i = 0; i < kMaxAnimationDepth + 5; ++i)
        node(w, i, "n", [](ByteWriter& b) { constantRotation(b, 0, 0, 0, 0); }, 1);
    node(w, 0, "leaf", [](ByteWriter& b) { constantRotation(b, 0, 0, 0, 0); });
    std::string error;
    EXPECT_FALSE(parse(w, &error));
    EXPECT_NE(error.find("deeper"), std::string::npos) << error;
}

TEST(AnimationFile, LoadingTwiceGivesIndependentTrees) {
    ByteWriter w;
    w.writeInt32(1);
    node(w, 1, "n", [](ByteWriter& b) {
        b.writeInt32(1);
        for (float f : {0.0f, 1.0f, 0.0f, 0.0f, 1.0f}) b.writeFloat32(f);
    });
    auto a = parse(w), b = parse(w);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->children[0]->rotationTrack.get(), b->children[0]->rotationTrack.get());
    EXPECT_EQ(readAnimationFile("/nonexistent/murmur.ani"), nullptr);
    EXPECT_EQ(loadAnimation("/nonexistent/murmur.ani"), nullptr);
}

// Round trip: authored absolute orientations, positions and scales come back.
TEST(AnimationWriter, AuthoredTreeComesBack) {
    SceneNode root;
    SceneNode* hip = root.addChild(std::make_unique<SceneNode>());
    hip->id = 7;
    hip->name = "Hip";
    hip->pivot = sm::translation({1, 2, 3});
    hip->rotation = sm::fromAxisAngle({0.6f, 0, 0.8f}, 2.5f);
    hip->scale = {2, 2, 2};
    auto pos = std::make_shared<TCBInterpolator<sm::Vec3>>();
    pos->appendKey(0, {0, 0, 0}, false);
    pos->appendKey(1.5f, {100, 0, -20}, false);
    hip->positionTrack = pos;
    SceneNode* arm = hip->addChild(std::make_unique<SceneNode>());
    arm->name = "arm";
    auto rot = std::make_shared<TCBInterpolator<sm::Quat>>();
    // 200 keys wandering about, including negative w (sign must survive) and
    // an identity key.
    for (int k = 0; k < 200; ++k) {
        const float a = 0.37f * static_cast<float>(k);
        sm::Vec3 axis{std::sin(a), std::cos(1.3f * a), 0.5f};
        sm::normalize(axis);
        sm::Quat q = k == 10 ? sm::Quat{} : sm::fromAxisAngle(axis, 0.9f * a);
        rot->appendKey(0.1f * static_cast<float>(k), q, false);
    }
    arm->rotationTrack = rot;

    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(writeAnimation(root, bytes, &error)) << error;
    auto back = parseAnimation(bytes.data(), bytes.size(), &error);
    ASSERT_TRUE(back) << error;
    const SceneNode& h = *back->children.at(0);
    EXPECT_EQ(h.id, 7);
    EXPECT_EQ(h.name, "Hip");
    EXPECT_EQ(h.pivot, hip->pivot);
    EXPECT_EQ(h.scale, hip->scale);
    expectQuatNear(h.rotation, hip->rotation);
    ASSERT_TRUE(h.positionTrack);
    EXPECT_EQ(h.positionTrack->keyCount(), 2);
    const SceneNode& r = *h.children.at(0);
    ASSERT_TRUE(r.rotationTrack);
    ASSERT_EQ(r.rotationTrack->keyCount(), 200);
    for (int k = 0; k < 200; ++k) {
        float t0 = 0, t1 = 0;
        sm::Quat q0, q1;
        bool s = false;
        rot->getKey(k, t0, q0, s);
        r.rotationTrack->getKey(k, t1, q1, s);
        EXPECT_EQ(t0, t1);
        expectQuatNear(q1, q0, 2e-6f);
    }
}

TEST(AnimationWriter, RefusesWhatTheFileCannotHold) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    {
        SceneNode root;
        root.name = "named";
        EXPECT_FALSE(writeAnimation(root, bytes, &error));
    }
    {
        SceneNode root;
        auto lin = std::make_shared<LinearInterpolator<sm::Vec3>>();
        lin->appendKey(0, {}, false);
        root.addChild(std::make_unique<SceneNode>())->positionTrack = lin;
        EXPECT_FALSE(writeAnimation(root, bytes, &error));
        EXPECT_NE(error.find("TCB"), std::string::npos);
    }
    {
        SceneNode root;
        auto tcb = std::make_shared<TCBInterpolator<sm::Vec3>>();
        tcb->appendKey(0, {}, true);
        root.addChild(std::make_unique<SceneNode>())->scaleTrack = tcb;
        EXPECT_FALSE(writeAnimation(root, bytes, &error));
    }
    {
        SceneNode root;
        root.addChild(std::make_unique<SceneNode>())->rotation = {0, 0, 0, 0};
        EXPECT_FALSE(writeAnimation(root, bytes, &error));
    }
}

}  // namespace
