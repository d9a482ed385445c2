#include "tools/world/robot.h"

#include "anim/animation_writer.h"
#include "tools/content/staging.h"
#include "tools/model/primitives.h"
#include "tools/model/transform.h"
#include "tools/world/chair.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/output.h"
#include "tools/world/pose.h"
#include "tools/world/robot_rig.h"
#include "tools/world/schedule.h"

#include <cmath>
#include <functional>

namespace world {

using namespace model;
namespace L = layout;

namespace {

constexpr int kChairBaseId = 901, kChairSeatId = 902;

struct Recorder {
    content::Staging& staging;
    std::map<std::string, std::vector<std::uint8_t>>& files;

    void animation(const std::string& name, const SceneNode& root)
    {
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!writeAnimation(root, bytes, &error)) {
            staging.fail("animations/" + name + ".ani: " + error);
            return;
        }
        staging.writeBytes("animations/" + name + ".ani", std::string(bytes.begin(), bytes.end()));
        files[name] = std::move(bytes);
    }
};

// Box limbs, one mesh per bone, in the bone's own frame.
Model robotModel()
{
    Model m;
    struct Part {
        int bone;
        sm::Vec3 centre, size;
        const char* material;
    };
    const Part parts[] = {
        {rig::kHip, {0, 0, 0}, {30, 16, 20}, "robot_paint"},
        {rig::kSpine, {0, 10, 0}, {22, 20, 16}, "robot_joint"},
        {rig::kChest, {0, 16, 0}, {40, 32, 26}, "robot_paint"},
        {rig::kNeck, {0, 3, 0}, {8, 8, 8}, "robot_joint"},
        {rig::kHead, {0, 15, 2}, {30, 26, 26}, "robot_paint"},
        {rig::kShoulderL, {3, 0, 0}, {12, 12, 12}, "robot_joint"},
        {rig::kUpperArmL, {0, -14, 0}, {9, 28, 9}, "robot_paint"},
        {rig::kForearmL, {0, -12.5f, 0}, {8, 25, 8}, "robot_paint"},
        {rig::kHandL, {0, -6, 0}, {8, 12, 5}, "robot_joint"},
        {rig::kShoulderR, {-3, 0, 0}, {12, 12, 12}, "robot_joint"},
        {rig::kUpperArmR, {0, -14, 0}, {9, 28, 9}, "robot_paint"},
        {rig::kForearmR, {0, -12.5f, 0}, {8, 25, 8}, "robot_paint"},
        {rig::kHandR, {0, -6, 0}, {8, 12, 5}, "robot_joint"},
        {rig::kThighL, {0, -21, 0}, {12, 43, 12}, "robot_paint"},
        {rig::kShinL, {0, -20, 0}, {10, 41, 10}, "robot_paint"},
        {rig::kFootL, {0, -3.5f, 4}, {11, 7, 24}, "robot_joint"},
        {rig::kThighR, {0, -21, 0}, {12, 43, 12}, "robot_paint"},
        {rig::kShinR, {0, -20, 0}, {10, 41, 10}, "robot_paint"},
        {rig::kFootR, {0, -3.5f, 4}, {11, 7, 24}, "robot_joint"},
    };
    for (const Part& p : parts) {
        const rig::Bone& bone = rig::kBones[p.bone];
        ModelMesh* mesh = m.findMesh(std::string("robot_") + bone.name);
        if (!mesh) mesh = &m.addMesh(std::string("robot_") + bone.name, bone.id);
        mesh->add(transformed(bevelBox(p.material, p.size, 1.5f), translate(p.centre)));
    }
    // Two round eyes on the visor.
    for (float side : {-1.0f, 1.0f})
        m.findMesh("robot_Head")->add(transformed(sphere("glow_eyes", 3.5f, 12, 6), translate(side * 7, 17, 15)));
    return m;
}

// A seated pose with the right hand raised to the mouth by `lift` (0..1).
Pose sip(float lift)
{
    Pose p = seated();
    p.turn[rig::kUpperArmR] = axisAngle({1, 0, 0}, -30.0f - 70.0f * lift);
    p.turn[rig::kForearmR] = axisAngle({1, 0, 0}, -50.0f - 70.0f * lift);
    return p;
}

struct RideKey {
    float time;
    sm::Vec3 chair;  // floor position of the chair
    float yaw;       // the chair's heading (0: rider faces +Z)
    float swivel;    // the seat's turn on the base
    Pose rider;
};

void ridingClip(Recorder& rec, const std::string& name, const std::vector<RideKey>& keys)
{
    Model chair;
    addChairMeshes(chair, kChairBaseId, kChairSeatId);
    saveModel(rec.staging, "models/" + name + ".geo", chair, false);
    SceneNode root;
    SceneNode& base = addNode(root, "chair", kChairBaseId);
    SceneNode& seat = addNode(base, rig::kSeatNode, kChairSeatId);
    seat.position = {0, kSeatHeight, 0};
    PoseKeys poses;
    for (const RideKey& k : keys) {
        keyPosition(base, k.time, k.chair);
        keyRotation(base, k.time, axisAngle({0, 1, 0}, k.yaw));
        keyRotation(seat, k.time, axisAngle({0, 1, 0}, k.swivel));
        poses.push_back({k.time, k.rider});
    }
    // The rider's tracks, his hip relative to the seat.
    addSkeleton(root, poses, false);
    rec.animation(name, root);
}

void skeletonClip(Recorder& rec, const std::string& name, const PoseKeys& keys)
{
    SceneNode root;
    addSkeleton(root, keys, false);
    rec.animation(name, root);
}

// A path over the floor through the waypoints, timed for an even speed.
void pathClip(Recorder& rec, const std::string& name, float t0, float t1, const std::vector<sm::Vec3>& waypoints)
{
    std::vector<sm::Vec3> pts = smoothPath(waypoints, 8);
    std::vector<float> along{0.0f};
    for (std::size_t i = 1; i < pts.size(); ++i) along.push_back(along.back() + sm::length(pts[i] - pts[i - 1]));
    float speed = along.back() / (t1 - t0);
    if (speed < 500.0f || speed > 700.0f)
        rec.staging.fail("animations/" + name + ".ani: the path is run at " + std::to_string(speed) +
                         " per second, outside 500 to 700");
    SceneNode root;
    SceneNode& path = addNode(root, "path");
    for (std::size_t i = 0; i < pts.size(); ++i)
        keyPosition(path, t0 + (t1 - t0) * along[i] / along.back(), pts[i]);
    rec.animation(name, root);
}

// The walk cycle: four bounding steps over one second of keys.
void runCycle(Recorder& rec)
{
    PoseKeys keys;
    for (int k = 0; k <= 16; ++k) {
        float t = static_cast<float>(k) / 16.0f;
        float phase = t * 4.0f * 3.14159265f;  // two strides per leg
        float s = std::sin(phase);
        Pose p = standing({0, 95.0f + 6.0f * std::fabs(std::cos(phase)), 0}, 0);
        p.turn[rig::kSpine] = axisAngle({1, 0, 0}, 12.0f);
        p.turn[rig::kThighL] = axisAngle({1, 0, 0}, -40.0f * s);
        p.turn[rig::kThighR] = axisAngle({1, 0, 0}, 40.0f * s);
        p.turn[rig::kShinL] = axisAngle({1, 0, 0}, 45.0f * std::fmax(0.0f, s));
        p.turn[rig::kShinR] = axisAngle({1, 0, 0}, 45.0f * std::fmax(0.0f, -s));
        p.turn[rig::kUpperArmL] = axisAngle({1, 0, 0}, 35.0f * s);
        p.turn[rig::kUpperArmR] = axisAngle({1, 0, 0}, -35.0f * s);
        p.turn[rig::kForearmL] = p.turn[rig::kForearmR] = axisAngle({1, 0, 0}, -70.0f);
        keys.push_back({t, p});
    }
    skeletonClip(rec, "run", keys);
}

// Keys every `step` seconds from t0 to t1 (the last exactly at t1).
void everyStep(float t0, float t1, float step, const std::function<void(float, float)>& at)
{
    int n = std::max(1, static_cast<int>(std::ceil((t1 - t0) / step - 1e-4f)));
    for (int i = 0; i <= n; ++i) {
        float t = i == n ? t1 : t0 + step * static_cast<float>(i);
        at(t, (t - t0) / (t1 - t0));
    }
}

sm::Vec3 mix(sm::Vec3 a, sm::Vec3 b, float t) { return a + (b - a) * t; }

} // namespace

void writeRobot(content::Staging& staging, std::map<std::string, std::vector<std::uint8_t>>& animations)
{
    Recorder rec{staging, animations};
    saveModel(staging, "models/robot_parts/bind_pose.geo", robotModel(), false);
    {
        SceneNode root;
        addRestSkeleton(root);
        rec.animation("bind_pose", root);
    }
    runCycle(rec);

    const sm::Vec3 desk = L::kChairAtDesk, posters = L::kChairAtPosters;
    const float north = 180.0f;  // yaw that faces the rider north (-Z)
    auto atDesk = [&](float t0, float t1, const std::function<Pose(float)>& pose) {
        std::vector<RideKey> keys;
        everyStep(t0, t1, 1.0f, [&](float t, float) { keys.push_back({t, desk, north, 0.0f, pose(t)}); });
        return keys;
    };
    // 1-7: riding the chair.
    ridingClip(rec, "writting", atDesk(0.0f, 24.0f, [](float t) {
                   Pose p = seated();
                   p.turn[rig::kForearmR] = axisAngle({1, 0, 0}, -50.0f - 8.0f * std::sin(t * 5.0f));
                   if (t > 13.0f && t < 17.0f) p.turn[rig::kHead] = eulerYXZ(45.0f, -25.0f, 0.0f);
                   return p;
               }));
    {
        std::vector<RideKey> keys;
        everyStep(24.0f, 40.0f, 1.0f, [&](float t, float) {
            float u = std::clamp((t - 26.0f) / 7.0f, 0.0f, 1.0f);
            u = u * u * (3 - 2 * u);
            keys.push_back({t, mix(desk, posters, u), north, 0.0f, seated()});
        });
        ridingClip(rec, "go_to_posters", keys);
    }
    {
        std::vector<RideKey> keys;
        everyStep(40.0f, 56.0f, 0.5f, [&](float t, float) {
            float u = std::clamp((t - 42.0f) / 10.0f, 0.0f, 1.0f);
            u = u * u * (3 - 2 * u);
            keys.push_back({t, mix(posters, desk, u), north, 360.0f * u, seated()});
        });
        ridingClip(rec, "back_to_cigarette", keys);
    }
    ridingClip(rec, "whisky", atDesk(56.0f, 76.0f, [](float t) {
                   float lift = (t >= 60 && t <= 63) || (t >= 67 && t <= 70) ? 1.0f : 0.0f;
                   return sip(lift);
               }));
    ridingClip(rec, "cigarette", atDesk(76.0f, 106.0f, [](float t) {
                   float lift = (t >= 80 && t <= 82) || (t >= 88 && t <= 90) || (t >= 96 && t <= 99) ? 1.0f : 0.3f;
                   Pose p = sip(lift);
                   if (t >= 100.0f) p.turn[rig::kSpine] = axisAngle({1, 0, 0}, -20.0f);
                   return p;
               }));
    ridingClip(rec, "angry", atDesk(106.0f, 118.9f, [](float t) {
                   Pose p = seated();
                   if (t < 112.0f) p.turn[rig::kNeck] = axisAngle({1, 0, 0}, 35.0f);
                   if (t >= 114.0f && t < 117.0f) {
                       float bang = (static_cast<int>(t * 2.0f) % 2) ? 1.0f : 0.0f;
                       p.turn[rig::kUpperArmL] = p.turn[rig::kUpperArmR] = axisAngle({1, 0, 0}, -40.0f - 60.0f * bang);
                   }
                   if (t >= 117.0f) p.turn[rig::kUpperArmR] = eulerYXZ(0.0f, -60.0f, 30.0f);
                   return p;
               }));
    {
        std::vector<RideKey> keys;
        everyStep(118.9f, 134.0552f, 0.25f, [&](float t, float) {
            Pose p = seated();
            if (t < 131.0f) {
                float jolt = (static_cast<int>(t * 4.0f) % 2) ? 1.0f : -1.0f;
                p.turn[rig::kUpperArmL] = eulerYXZ(0.0f, -60.0f, 50.0f * jolt);
                p.turn[rig::kUpperArmR] = eulerYXZ(0.0f, -60.0f, -50.0f * jolt);
                p.turn[rig::kHead] = eulerYXZ(20.0f * jolt, 0.0f, 0.0f);
            } else {
                p.turn[rig::kSpine] = axisAngle({1, 0, 0}, 30.0f);
                p.turn[rig::kNeck] = axisAngle({1, 0, 0}, 40.0f);
            }
            keys.push_back({t, desk, north, 0.0f, p});
        });
        ridingClip(rec, "porazenie", keys);
    }

    // 8: throw: up from the chair, the chair hurled south-east.
    const sm::Vec3 throwSpot{desk.x + 60.0f, 95.0f, desk.z + 120.0f};
    skeletonClip(rec, "throw", {
                                   {134.0552f, standing({desk.x, 60.0f, desk.z}, 180.0f)},
                                   {135.0f, standing(throwSpot, 150.0f)},
                                   {136.5f,
                                    [&] {
                                        Pose p = standing(throwSpot, 130.0f);
                                        p.turn[rig::kUpperArmL] = p.turn[rig::kUpperArmR] =
                                            axisAngle({1, 0, 0}, 170.0f);
                                        return p;
                                    }()},
                                   {137.5f,
                                    [&] {
                                        Pose p = standing(throwSpot, 130.0f);
                                        p.turn[rig::kUpperArmL] = p.turn[rig::kUpperArmR] =
                                            axisAngle({1, 0, 0}, -80.0f);
                                        return p;
                                    }()},
                                   {140.0f, standing(throwSpot, 110.0f)},
                               });
    // 9, 10: laps of the hall.
    pathClip(rec, "run01", 140.0f, 155.0f,
             {{throwSpot.x, 0, throwSpot.z}, {-200, 0, -800}, {1200, 0, -760}, {1780, 0, -450}, {1780, 0, 500},
              {1000, 0, 1110}, {-1000, 0, 1110}, {-1720, 0, 850}, {-1700, 0, 0}, {-900, 0, 40}});
    pathClip(rec, "run02", 155.0f, 170.0f,
             {{-900, 0, 40}, {350, 0, 120}, {700, 0, 450}, {350, 0, 780}, {-1300, 0, 780}, {-1700, 0, 450},
              {-1400, 0, 100}, {-1800, 0, -300}, {-1000, 0, -480}, {400, 0, -450}, {800, 0, -400}});
    // 11: the swing on the low pipe.
    {
        const float px = L::kSwingPipeX, py = L::kSwingPipeY, z = -400.0f, r = 110.0f;
        PoseKeys keys;
        keys.push_back({170.0f, standing({800, 95, z}, 90.0f)});
        const float swing[] = {-40, 35, -30, 50, -20, 60};
        for (int i = 0; i < 6; ++i) {
            float a = model::radians(swing[i]);
            Pose p = standing({px + r * std::sin(a), py - r * std::cos(a), z}, 90.0f);
            p.turn[rig::kUpperArmL] = p.turn[rig::kUpperArmR] = axisAngle({1, 0, 0}, 180.0f);
            p.turn[rig::kHip] = axisAngle({0, 1, 0}, 90.0f) * axisAngle({1, 0, 0}, -swing[i]);
            keys.push_back({171.0f + static_cast<float>(i) * 1.0f, p});
        }
        keys.push_back({177.0f, standing({px + 260, 95, z}, 90.0f)});
        keys.push_back({178.0f, standing({px + 300, 95, z}, 90.0f)});
        skeletonClip(rec, "branch", keys);
    }
    // 12: run towards the crates.
    pathClip(rec, "run021", 178.0f, 190.0f,
             {{1300, 0, -400}, {1750, 0, -700}, {1800, 0, -1000}, {600, 0, -780}, {-600, 0, -780},
              {-1100, 0, -200}, {-600, 0, 150}, {600, 0, 150}, {1100, 0, 100}});
    // 13: over the row of crates.
    {
        PoseKeys keys;
        const float z = 100.0f;
        everyStep(190.0f, 196.0f, 0.5f, [&](float t, float) {
            float u = std::clamp((t - 191.0f) / 3.0f, 0.0f, 1.0f);
            float x = 1150.0f + 600.0f * u;
            float y = 95.0f + 130.0f * std::sin(3.14159265f * u);
            Pose p = standing({x, y, z}, 90.0f);
            if (u > 0 && u < 1) {
                p.turn[rig::kThighL] = p.turn[rig::kThighR] = axisAngle({1, 0, 0}, -60.0f);
                p.turn[rig::kShinL] = p.turn[rig::kShinR] = axisAngle({1, 0, 0}, 80.0f);
            }
            keys.push_back({t, p});
        });
        skeletonClip(rec, "jump", keys);
    }
    // 14: onto the platform and a flip off it.
    {
        const sm::Vec3 top{L::kPlatformCentre.x + 60.0f, L::kPlatformSize.y + 95.0f, L::kPlatformCentre.z};
        PoseKeys keys;
        keys.push_back({196.0f, standing({1750, 95, 100}, 90.0f)});
        keys.push_back({197.5f, standing({1650, 95, 650}, 200.0f)});
        keys.push_back({198.5f, standing(top + sm::Vec3{0, 0, -60}, 270.0f)});
        keys.push_back({199.3f, standing(top, 270.0f)});
        for (int i = 1; i <= 4; ++i) {
            float u = static_cast<float>(i) / 4.0f;
            Pose p = standing({top.x - 280.0f * u, top.y + 120.0f * std::sin(3.14159265f * u) - 130.0f * u * u, top.z},
                              270.0f);
            p.turn[rig::kHip] = axisAngle({0, 1, 0}, 270.0f) * axisAngle({1, 0, 0}, -360.0f * u);
            keys.push_back({199.3f + 0.35f * static_cast<float>(i), p});
        }
        keys.push_back({202.0f, standing({top.x - 300.0f, 95.0f, top.z}, 270.0f)});
        skeletonClip(rec, "flip", keys);
    }
    // 15: to the dance stage, the doors opening ahead.
    pathClip(rec, "run03", 202.0f, 215.0f,
             {{1050, 0, 880}, {300, 0, 1100}, {-1300, 0, 1100}, {-1750, 0, 600}, {-1400, 0, 150},
              {-400, 0, 200}, {500, 0, 250}, {900, 0, -100}, {500, 0, -200}, {0, 0, -150}, {0, 0, -330}});
    // 16: the dance under the hand, until after the end picture.
    {
        PoseKeys keys;
        const sm::Vec3 stage = L::kStageCentre;
        everyStep(215.0f, 262.0f, 0.5f, [&](float t, float) {
            float beat = std::sin((t - 215.0f) * 3.14159265f);
            Pose p = standing({stage.x + 20.0f * beat, 90.0f + 5.0f * std::fabs(beat), stage.z}, 180.0f + 25.0f * beat);
            p.turn[rig::kUpperArmL] = eulerYXZ(0.0f, 0.0f, 120.0f + 30.0f * beat);
            p.turn[rig::kUpperArmR] = eulerYXZ(0.0f, 0.0f, -120.0f + 30.0f * beat);
            p.turn[rig::kSpine] = axisAngle({0, 0, 1}, 10.0f * beat);
            keys.push_back({t, p});
        });
        skeletonClip(rec, "credits_dance", keys);
    }
}

} // namespace world
