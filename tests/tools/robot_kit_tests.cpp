// The kit the robot's performance is authored with: two-bone reaches, the
// key curves, poses through the animation file and back, joint blends, the
// run cycle's planted feet and the footwork.
#include "anim/animation_file.h"
#include "anim/animation_writer.h"
#include "tools/world/footwork.h"
#include "tools/world/keys.h"
#include "tools/world/robot_clips.h"
#include "tools/world/timeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace world;

namespace {

sm::Vec3 at(const sm::Mat4& m, sm::Vec3 p = {}) { return sm::transformPoint(m, p); }
float qdot(sm::Quat a, sm::Quat b) { return std::fabs(a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z); }

sm::Quat randomTurn(std::mt19937& rng)
{
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    sm::Quat q{u(rng), u(rng), u(rng), u(rng)};
    return sm::normalize(q);
}

} // namespace

TEST(RobotKit, ReachesPutTheGripOnTargetsInReachAndMeasureTheRest)
{
    std::mt19937 rng(15);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f), r(8.0f, 51.5f);  // the arm reaches 52
    const sm::Mat4 root = sm::translation({100, 0, -50}) * sm::rotation(axisAngle({0, 1, 0}, 30.0f));
    for (int i = 0; i < 200; ++i) {
        Pose p = standing({0, rig::kHipHeight, 0}, 0.0f);
        bend(p, 40.0f * u(rng), 30.0f * u(rng), 10.0f * u(rng));
        sm::Vec3 shoulder = at(forward(p, root)[rig::kUpperArmR]);
        sm::Vec3 dir{u(rng), u(rng), u(rng)};
        sm::normalize(dir);
        sm::Quat hand = randomTurn(rng);
        // Aim the wrist within the arm's reach: the grip follows from it.
        sm::Vec3 wrist = shoulder + dir * r(rng);
        sm::Vec3 grip = wrist + at(sm::rotation(hand), rig::kGripR);
        sm::Vec3 elbow{u(rng), -1.0f, u(rng)};
        float miss = reachGrip(p, root, Side::Right, grip, hand, elbow);
        Frames f = forward(p, root);
        EXPECT_LT(miss, 0.01f);
        EXPECT_LT(sm::length(at(f[rig::kHandR], rig::kGripR) - grip), 0.05f) << "target " << i;
        EXPECT_GT(qdot(rotationOf(f[rig::kHandR]), hand), 0.9999f);
        // The elbow bends towards its pole.
        sm::Vec3 e = at(f[rig::kForearmR]), s = at(f[rig::kUpperArmR]), w = at(f[rig::kHandR]);
        sm::Vec3 line = w - s;
        sm::normalize(line);
        sm::Vec3 off = (e - s) - line * sm::dot(e - s, line);
        if (sm::length(off) > 1.0f) {
            sm::Vec3 pole = elbow - line * sm::dot(elbow, line);
            EXPECT_GT(sm::dot(off, pole), 0.0f);
        }
    }
    // Out of reach: stretched towards it, and how far it stays.
    Pose p = standing({0, rig::kHipHeight, 0}, 0.0f);
    sm::Vec3 shoulder = at(forward(p, root)[rig::kUpperArmR]);
    sm::Vec3 far = shoulder + sm::Vec3{0, 0, 150};
    float miss = reachWrist(p, root, Side::Right, far, sm::Quat{}, {0, -1, 0});
    sm::Vec3 wrist = at(forward(p, root)[rig::kHandR]);
    EXPECT_NEAR(miss + sm::length(wrist - shoulder), 150.0f, 0.5f);
    EXPECT_NEAR(sm::length(far - wrist), miss, 0.5f);
}

TEST(RobotKit, KneesBendForwardAndFeetStandAsTold)
{
    Pose p = standing({0, 80, 0}, 0.0f);  // crouched: the ankle closer than the leg's length
    sm::Vec3 ankle{10, rig::kAnkleHeight, 15};
    sm::Quat foot = footRotation({0.3f, 0, 1});
    placeAnkle(p, sm::identityMatrix(), Side::Left, ankle, foot, {0, 0, 1});
    Frames f = forward(p, sm::identityMatrix());
    EXPECT_LT(sm::length(at(f[rig::kFootL]) - ankle), 0.05f);
    EXPECT_GT(qdot(rotationOf(f[rig::kFootL]), foot), 0.9999f);
    EXPECT_GT(at(f[rig::kShinL]).z, 15.0f) << "the knee should stand in front of hip and ankle";
}

TEST(RobotKit, KeyCurvesPassThroughTheirKeysAndHoldWithoutOvershoot)
{
    Spline s;
    s.key(0.0f, {0.0f});
    s.key(1.0f, {10.0f});
    s.key(1.2f, {10.0f});
    s.key(3.0f, {0.0f});
    EXPECT_FLOAT_EQ(s.at(1.0f)[0], 10.0f);
    EXPECT_FLOAT_EQ(s.at(3.0f)[0], 0.0f);
    float highest = -1e9f;
    for (float t = 0.0f; t <= 3.0f; t += 0.01f) highest = std::max(highest, s.at(t)[0]);
    EXPECT_LE(highest, 10.0f + 1e-4f) << "a held pose swings past itself";
    EXPECT_NEAR(s.at(1.1f)[0], 10.0f, 1e-4f);
    // Uneven spacing: a rising curve keeps rising.
    Spline r;
    r.key(0.0f, {0.0f});
    r.key(0.1f, {1.0f});
    r.key(5.0f, {2.0f});
    float last = -1.0f;
    for (float t = 0.0f; t <= 5.0f; t += 0.005f) {
        float v = r.at(t)[0];
        EXPECT_GE(v, last - 1e-5f) << t;
        last = v;
    }
    // A key at the time of the last replaces it.
    r.key(5.0f, {7.0f});
    EXPECT_FLOAT_EQ(r.at(5.0f)[0], 7.0f);
}

TEST(RobotKit, PosesSurviveTheAnimationFile)
{
    std::mt19937 rng(7);
    PoseKeys keys;
    for (int k = 0; k < 3; ++k) {
        Pose p = standing({10.0f * k, 90.0f + k, -5.0f}, 120.0f * k);
        for (sm::Quat& q : p.turn) q = randomTurn(rng);
        p.eyes = 0.3f + 0.3f * k;
        keys.push_back({static_cast<float>(k), p});
    }
    SceneNode root;
    addSkeleton(root, keys, true);
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(writeAnimation(root, bytes, &error)) << error;
    auto read = parseAnimation(bytes.data(), bytes.size(), &error);
    ASSERT_TRUE(read) << error;
    for (const auto& [t, pose] : keys) {
        read->updatePose(t, sm::identityMatrix());
        Frames f = forward(pose, sm::identityMatrix());
        for (int b = 0; b < rig::kBoneCount; ++b) {
            SceneNode* n = read->findNode(rig::kBones[b].name);
            ASSERT_TRUE(n);
            EXPECT_LT(sm::length(at(n->world) - at(f[static_cast<std::size_t>(b)])), 0.05f)
                << rig::kBones[b].name << " at " << t;
        }
        SceneNode* eyes = read->findNode("Eyes");
        ASSERT_TRUE(eyes && eyes->scaleTrack);
        sm::Vec3 s;
        eyes->scaleTrack->evaluate(t, s, 0);
        EXPECT_NEAR(s.y, pose.eyes, 1e-4f);
    }
}

TEST(RobotKit, JointBlendsMoveSmoothlyEvenBetweenNearlyOppositeTurns)
{
    // An arm raised far over the head and one hanging back: the blend
    // between them must not swap sides halfway and flick the hand across.
    Pose up = standing({0, rig::kHipHeight, 0}, 0.0f), down = up;
    armAngles(up, Side::Right, 172.0f, 20.0f, 10.0f);
    armAngles(down, Side::Right, -8.0f, 5.0f, 30.0f, 60.0f);
    sm::Vec3 last;
    float step = 0.0f, worst = 0.0f;
    for (int i = 0; i <= 100; ++i) {
        Pose p = down;
        blendArm(p, up, Side::Right, static_cast<float>(i) / 100.0f);
        sm::Vec3 hand = at(forward(p, sm::identityMatrix())[rig::kHandR]);
        if (i > 0) {
            float d = sm::length(hand - last);
            step += d / 100.0f;
            worst = std::max(worst, d);
        }
        last = hand;
    }
    EXPECT_LT(worst, 3.0f * step) << "the hand jumps on the way";
}

TEST(RobotKit, TheRunCycleCarriesAPlantedFootBackAtTheBodysPace)
{
    // One loop is 1030 units of travel; while planted a foot moves back in
    // the body's frame exactly as far as the body moves on, and it never
    // dips into the floor.
    const float travel = 1030.0f;
    int planted = 0;
    for (int k = 0; k < 2000; ++k) {
        float a = static_cast<float>(k) / 2000.0f, b = a + 0.5f / travel;
        Frames fa = forward(runPose(a), sm::identityMatrix()), fb = forward(runPose(b), sm::identityMatrix());
        for (int foot : {rig::kFootL, rig::kFootR}) {
            sm::Vec3 pa = at(fa[static_cast<std::size_t>(foot)]), pb = at(fb[static_cast<std::size_t>(foot)]);
            EXPECT_GT(at(fa[static_cast<std::size_t>(foot)], rig::kSole).y, -0.5f);
            if (pa.y < rig::kAnkleHeight + 0.01f && pb.y < rig::kAnkleHeight + 0.01f) {
                ++planted;
                EXPECT_NEAR(pb.z - pa.z, -0.5f, 0.02f) << "phase " << a;
                EXPECT_NEAR(pb.x, pa.x, 0.02f);
            }
        }
    }
    // Two stances a loop per foot, each 40 units long.
    EXPECT_NEAR(planted, 4 * 40 * 2000 / 1030, 20);
    Frames start = forward(runPose(0.0f), sm::identityMatrix()), end = forward(runPose(0.99999f), sm::identityMatrix());
    for (int b = 0; b < rig::kBoneCount; ++b)
        EXPECT_LT(sm::length(at(start[static_cast<std::size_t>(b)]) - at(end[static_cast<std::size_t>(b)])), 0.5f)
            << rig::kBones[b].name << ": the loop does not close";
}

TEST(RobotKit, FootworkHoldsPlantedFeetAndStepsBetween)
{
    Footwork feet;
    feet.plant(Side::Left, 0.0f, 1.0f, ankleOver({12, 0, 0}), 0.0f);
    feet.plant(Side::Left, 1.4f, 2.0f, ankleOver({12, 0, 50}), 20.0f);
    feet.plant(Side::Right, 0.0f, 2.0f, ankleOver({-12, 0, 20}), 0.0f);
    auto ankle = [&](float t, int bone) {
        Pose p = standing({0, 92, 12.0f + 15.0f * t}, 0.0f);
        feet.apply(p, sm::identityMatrix(), t);
        return at(forward(p, sm::identityMatrix())[static_cast<std::size_t>(bone)]);
    };
    EXPECT_LT(sm::length(ankle(0.5f, rig::kFootL) - ankleOver({12, 0, 0})), 0.05f);
    EXPECT_LT(sm::length(ankle(1.7f, rig::kFootL) - ankleOver({12, 0, 50})), 0.05f);
    EXPECT_LT(sm::length(ankle(1.2f, rig::kFootR) - ankleOver({-12, 0, 20})), 0.05f);
    sm::Vec3 mid = ankle(1.2f, rig::kFootL);
    EXPECT_GT(mid.y, rig::kAnkleHeight + 5.0f) << "the stepping foot drags";
    EXPECT_GT(mid.z, 10.0f);
    EXPECT_LT(mid.z, 40.0f);
}
