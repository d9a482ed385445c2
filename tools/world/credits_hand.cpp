#include "tools/world/credits_hand.h"

#include "anim/core/interpolator.h"
#include "content/geometry/geometry.h"
#include "tools/content/staging.h"
#include "tools/model/primitives.h"
#include "tools/model/transform.h"
#include "tools/model/vec_ops.h"
#include "tools/world/hand_dance.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/materials.h"
#include "tools/world/output.h"
#include "tools/world/set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace world {

using namespace model;
namespace L = layout;

namespace {

// Node and mesh ids.
constexpr int kAxisId = 951, kTipId = 952, kHandId = 953;
constexpr int kMountId = 960, kTurretId = 961, kBoomId = 962, kReachId = 963, kWristId = 964;
constexpr int kFingerIds = 970;  // two per finger, in HandFinger order

// The rig, in each node's own frame (everything hangs along -Y).
constexpr float kShoulderDrop = 70.0f;   // turret pivot below the hoist
constexpr float kSleeve = 150.0f;        // the boom's outer sleeve
constexpr float kReach = 130.0f;         // the sliding inner section, pivot to wrist
constexpr float kReachMin = 0.0f, kReachMax = 150.0f;  // how far it slides out
constexpr float kWristDrop = 35.0f;      // wrist joint to the top of the palm
constexpr float kPalmLength = 92.0f;
constexpr float kProximal = 54.0f, kDistal = 48.0f;
const sm::Vec3 kFingerBase[kFingerCount] = {{30, -kPalmLength, 0}, {0, -kPalmLength, 0}, {-30, -kPalmLength, 0},
                                            {46, -34, -12}};
// The pointing fingertip in the hand's frame, the first finger straight.
const sm::Vec3 kTipInHand{30.0f, -kPalmLength - kProximal - kDistal, 0.0f};
const sm::Vec3 kShoulder = L::kHoist + sm::Vec3{0.0f, -kShoulderDrop, 0.0f};

sm::Quat conjugate(sm::Quat q) { return {q.w, -q.x, -q.y, -q.z}; }
sm::Vec3 rotate(sm::Quat q, sm::Vec3 v) { return sm::transformPoint(sm::rotation(q), v); }

// The joint values that put the hand where the dance wants it.
struct RigPose {
    sm::Quat yaw, pitch, wrist;
    float slide = 0.0f;
    float miss = 0.0f;  // how far the wrist stays from where it should be (out of reach)
};

RigPose solve(const HandState& h)
{
    RigPose r;
    sm::Vec3 palm = h.tip - rotate(h.turn, kTipInHand);
    sm::Vec3 wrist = palm - rotate(h.turn, {0.0f, -kWristDrop, 0.0f});
    sm::Vec3 d = wrist - kShoulder;
    float length = sm::length(d);
    float horizontal = std::sqrt(d.x * d.x + d.z * d.z);
    r.yaw = sm::fromAxisAngle({0, 1, 0}, std::atan2(d.x, d.z));
    r.pitch = sm::fromAxisAngle({1, 0, 0}, std::atan2(-horizontal, -d.y));
    float slide = length - kReach;
    r.slide = std::clamp(slide, kReachMin, kReachMax);
    r.miss = std::fabs(slide - r.slide);
    r.wrist = conjugate(r.yaw * r.pitch) * h.turn;
    return r;
}

Shape at(Shape s, const sm::Mat4& m) { return transformed(std::move(s), m); }

Model buildHand()
{
    Model m;
    // The helpers come first: the show hides the first three submeshes.
    Shape point("helper_hidden");
    for (int i = 0; i < 3; ++i) point.addVertex({0, 0, 0}, {0, 1, 0}, {});
    point.addTriangle(0, 1, 2);
    m.addMesh("hand_axis", kAxisId).add(point);
    ModelMesh& tip = m.addMesh("hand_tip", kTipId);
    tip.add(point);
    Shape guide = point;
    guide.material = "helper_guide";
    tip.add(guide);

    // The mount under the hoist: a flange with the slewing motor.
    ModelMesh& mount = m.addMesh("hand_mount", kMountId);
    mount.add(at(cylinder("steel_brushed", 36, 10, 24), translate(0, -10, 0)));
    mount.add(at(bevelBox("paint_orange", {30, 22, 26}, 3.0f), translate(34, -8, 0)));
    // The turret: a short mast and the yoke the boom pivots in.
    ModelMesh& turret = m.addMesh("hand_turret", kTurretId);
    turret.add(at(cylinder("robot_joint", 30, 8, 24), translate(0, -18, 0)));
    turret.add(at(cylinder("steel_brushed", 18, 40, 16), translate(0, -52, 0)));
    for (float x : {-27.0f, 27.0f})
        turret.add(at(bevelBox("paint_yellow", {10, 56, 50}, 2.0f), translate(x, -kShoulderDrop + 8, 0)));
    turret.add(at(bevelBox("paint_yellow", {64, 12, 50}, 2.0f), translate(0, -46, 0)));
    turret.add(at(sphere("glow_button_amber", 6, 10, 6), translate(0, -36, 26)));
    // The boom: a box sleeve with a hydraulic line, a hazard band at its mouth.
    ModelMesh& boom = m.addMesh("hand_boom", kBoomId);
    boom.add(at(cylinder("robot_joint", 14, 60, 16), translate(-30, 0, 0) * rotateZ(-90)));
    boom.add(at(bevelBox("paint_yellow", {40, kSleeve, 38}, 3.0f), translate(0, 12 - kSleeve * 0.5f, 0)));
    boom.add(at(box("hazard", {41, 18, 39}), translate(0, 12 - kSleeve + 14, 0)));
    boom.add(at(tube("rubber_black", {{14, -4, 21}, {16, -60, 24}, {16, -130, 24}, {10, -150, 20}}, 3.0f, 8),
                sm::identityMatrix()));
    // The inner section that slides out of it.
    ModelMesh& reach = m.addMesh("hand_reach", kReachId);
    reach.add(at(bevelBox("steel_brushed", {28, kReach, 26}, 2.0f), translate(0, -kReach * 0.5f, 0)));
    reach.add(at(cylinder("robot_joint", 19, 16, 16), translate(0, -kReach, 0)));
    // The wrist: a ball joint and a short neck.
    ModelMesh& wrist = m.addMesh("hand_wrist", kWristId);
    wrist.add(sphere("robot_joint", 22, 16, 10));
    wrist.add(at(cylinder("steel_brushed", 15, kWristDrop, 16), translate(0, -kWristDrop, 0)));
    // The hand: a palm with a plate on its back (facing +Z), the knuckle bar.
    ModelMesh& hand = m.addMesh("credits_hand", kHandId);
    hand.add(at(bevelBox("paint_yellow", {96, kPalmLength, 36}, 6.0f), translate(0, -kPalmLength * 0.5f, 0)));
    hand.add(at(bevelBox("hazard", {70, 26, 4}, 1.0f), translate(0, -30, 18)));
    hand.add(at(cylinder("robot_joint", 12, 100, 16), translate(-50, -kPalmLength + 2, 0) * rotateZ(-90)));
    for (float x : {-30.0f, 30.0f})
        hand.add(at(cylinder("steel_brushed", 5, 4, 10), translate(x, -62, 18) * rotateX(90)));
    // Fingers: two segments each, the joints dark, the tips rubber.
    for (int f = 0; f < kFingerCount; ++f) {
        float s = f == kThumb ? 0.85f : 1.0f;
        ModelMesh& a = m.addMesh("hand_finger" + std::to_string(f) + "a", kFingerIds + 2 * f);
        a.add(at(cylinder("robot_joint", 12 * s, 26, 14), translate(-13, 0, 0) * rotateZ(-90)));
        a.add(at(bevelBox("paint_yellow", {24 * s, kProximal - 8, 24 * s}, 3.0f), translate(0, -kProximal * 0.5f, 0)));
        ModelMesh& b = m.addMesh("hand_finger" + std::to_string(f) + "b", kFingerIds + 2 * f + 1);
        b.add(at(cylinder("robot_joint", 11 * s, 24, 14), translate(-12, 0, 0) * rotateZ(-90)));
        b.add(at(bevelBox("paint_yellow", {22 * s, kDistal - 16, 22 * s}, 3.0f), translate(0, -kDistal * 0.5f + 2, 0)));
        b.add(at(sphere("rubber_black", 11 * s, 12, 8), translate(0, -kDistal + 11 * s, 0)));
    }
    return m;
}

// The node tree: mount, turret (yaw), boom (pitch), inner section (slide),
// wrist (the hand's turn), hand and fingers; the axis beside them.
struct Rig {
    SceneNode root;
    SceneNode *axis, *turret, *boom, *reach, *wrist, *hand, *tip;
    SceneNode* finger[kFingerCount][2];
};

void buildRig(Rig& r)
{
    r.axis = &addNode(r.root, "hand_axis", kAxisId);
    SceneNode& mount = addNode(r.root, "hand_mount", kMountId);
    mount.position = L::kHoist;
    r.turret = &addNode(mount, "hand_turret", kTurretId);
    r.boom = &addNode(*r.turret, "hand_boom", kBoomId);
    r.boom->position = {0, -kShoulderDrop, 0};
    r.reach = &addNode(*r.boom, "hand_reach", kReachId);
    r.wrist = &addNode(*r.reach, "hand_wrist", kWristId);
    r.wrist->position = {0, -kReach, 0};
    r.hand = &addNode(*r.wrist, "credits_hand", kHandId);
    r.hand->position = {0, -kWristDrop, 0};
    r.tip = &addNode(*r.hand, "hand_tip", kTipId);
    r.tip->position = kTipInHand;
    for (int f = 0; f < kFingerCount; ++f) {
        SceneNode& a = addNode(*r.hand, "hand_finger" + std::to_string(f) + "a", kFingerIds + 2 * f);
        a.position = kFingerBase[f];
        SceneNode& b = addNode(a, "hand_finger" + std::to_string(f) + "b", kFingerIds + 2 * f + 1);
        b.position = {0, -kProximal, 0};
        r.finger[f][0] = &a;
        r.finger[f][1] = &b;
    }
}

// The fingers curl towards the palm (-Z); the thumb swings across it.
sm::Quat fingerTurn(int finger, float degrees)
{
    if (finger == kThumb) return axisAngle({0, 0, 1}, 35.0f) * axisAngle({1, 0, 0}, degrees);
    return axisAngle({1, 0, 0}, degrees);
}

// Key times: sparse while parked, dense while the hand moves and densest
// while it draws (the window's scene time runs ten times slower on screen).
std::vector<float> keyTimes(const HandDance& dance)
{
    std::vector<float> times = {0.0f};
    float t = 203.0f;
    const float end = 275.0f;
    while (t < end) {
        times.push_back(t);
        float step = 1.0f / 24.0f;
        for (const GreetingSweep& s : dance.sweeps())
            if (t >= s.window.open - 0.05f && t < s.window.close + 0.05f) step = 0.02f;
        t += step;
    }
    // Every window's open and close exactly, so the drawing starts and ends
    // where the greeting does.
    for (const GreetingSweep& s : dance.sweeps()) {
        times.push_back(s.window.open);
        times.push_back(s.window.close);
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end(), [](float a, float b) { return b - a < 0.004f; }), times.end());
    return times;
}

} // namespace

void writeCreditsHand(content::Staging& staging, const HandDance& dance)
{
    const std::vector<GreetingWindow> windows = dance.windows();
    for (double fps : {30.0, 60.0, 144.0}) {
        ShowClock clock(windows, fps);
        const auto& closes = clock.closes();
        double last = *std::max_element(closes.begin(), closes.end());
        if (std::count(closes.begin(), closes.end(), -1.0) > 0 || last >= 250.0) {
            staging.fail("models/credits_dance_hand.geo: the greetings close too late at " + std::to_string(fps) +
                         " frames per second");
            return;
        }
        if (fps == 60.0)
            std::printf("    greetings: windows from %.2f s, the last closes at loop time %.2f s (60 fps)\n",
                        clock.opens().front(), last);
    }

    std::string error;
    auto g = buildGeometry(buildHand(), surfaceLookup(false), &error);
    if (!g) {
        staging.fail("models/credits_dance_hand.geo: " + error);
        return;
    }
    auto p = std::make_unique<MeshProperty>();
    p->name = "credits_visible";
    p->valueType = kPropInt;
    p->animationKind = kPropStep;
    p->createHolder();
    std::unique_ptr<IInterpolator<int>> track = visibilityTrack(windows);
    for (int k = 0; k < track->keyCount(); ++k) {
        float time = 0.0f;
        int value = 0;
        bool step = false;
        track->getKey(k, time, value, step);
        p->curve<int>()->appendKey(time, value, false);
    }
    g->findMesh("credits_hand")->addProperty(std::move(p));
    if (!saveGeometryFile(staging, "models/credits_dance_hand.geo", *g)) return;

    Rig rig;
    buildRig(rig);
    float worstMiss = 0.0f;
    for (float t : keyTimes(dance)) {
        HandState h = dance.at(t);
        RigPose pose = solve(h);
        keyRotation(*rig.turret, t, pose.yaw);
        keyRotation(*rig.boom, t, pose.pitch);
        keyPosition(*rig.reach, t, {0.0f, -pose.slide, 0.0f});
        keyRotation(*rig.wrist, t, pose.wrist);
        for (int f = 0; f < kFingerCount; ++f) {
            float c = h.curl[static_cast<std::size_t>(f)];
            keyRotation(*rig.finger[f][0], t, fingerTurn(f, c));
            keyRotation(*rig.finger[f][1], t, axisAngle({1, 0, 0}, c * (f == kThumb ? 0.6f : 1.1f)));
        }
        for (const GreetingSweep& s : dance.sweeps())
            if (t >= s.window.open && t <= s.window.close) worstMiss = std::max(worstMiss, pose.miss);
    }
    if (worstMiss > 0.5f) {
        staging.fail("animations/credits_dance_hand.ani: the boom cannot reach a greeting's sweep (" +
                     std::to_string(worstMiss) + " short)");
        return;
    }
    // Clear of the lamps hanging round the stage, all the way.
    float clearance = 1e9f;
    for (float t : keyTimes(dance)) {
        rig.root.updatePose(t, sm::identityMatrix());
        std::vector<sm::Vec3> parts = {sm::transformPoint(rig.boom->world, {0, -kSleeve * 0.5f, 0}),
                                       sm::transformPoint(rig.boom->world, {0, -kSleeve, 0}),
                                       sm::transformPoint(rig.wrist->world, {}),
                                       sm::transformPoint(rig.hand->world, {0, -kPalmLength * 0.5f, 0})};
        for (int f = 0; f < kFingerCount; ++f) parts.push_back(sm::transformPoint(rig.finger[f][1]->world, {}));
        for (const HangingLamp& lamp : hangingLamps())
            for (sm::Vec3 p : parts) clearance = std::min(clearance, sm::length(p - lamp.bulb));
    }
    // A shade is 40 across the rim and a finger about 12 thick.
    std::printf("    the hand's joints keep %.0f from the lamps' bulbs\n", clearance);
    if (clearance < 75.0f) {
        staging.fail("animations/credits_dance_hand.ani: the hand passes through a lamp (" + std::to_string(clearance) +
                     " from a bulb)");
        return;
    }
    for (std::size_t i = 0; i < dance.sweeps().size(); ++i) {
        const GreetingSweep& s = dance.sweeps()[i];
        keyPosition(*rig.axis, s.window.open, dance.axisAtOpen(static_cast<int>(i)));
        keyPosition(*rig.axis, s.window.close, dance.axisAtClose(static_cast<int>(i)));
    }
    saveAnimationFile(staging, "animations/credits_dance_hand.ani", rig.root);
}

} // namespace world
