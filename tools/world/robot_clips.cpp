#include "tools/world/robot_clips.h"

#include "anim/animation_writer.h"
#include "tools/content/staging.h"
#include "tools/model/model.h"
#include "tools/world/chair.h"
#include "tools/world/keys.h"
#include "tools/world/output.h"

#include <algorithm>
#include <cmath>

namespace world {

namespace {

constexpr int kChairBaseId = 901, kChairSeatId = 902;

sm::Quat seatTurn(const ChairState& c)
{
    return axisAngle({0, 1, 0}, c.swivel) * axisAngle({1, 0, 0}, -c.tilt);
}

} // namespace

void ClipFiles::animation(const std::string& name, const SceneNode& root)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!writeAnimation(root, bytes, &error)) {
        staging.fail("animations/" + name + ".ani: " + error);
        return;
    }
    staging.writeBytes("animations/" + name + ".ani", std::string(bytes.begin(), bytes.end()));
    files[name] = std::move(bytes);
    std::function<void(const SceneNode&)> count = [&](const SceneNode& n) {
        if (n.positionTrack) keys += n.positionTrack->keyCount();
        if (n.rotationTrack) keys += n.rotationTrack->keyCount();
        if (n.scaleTrack) keys += n.scaleTrack->keyCount();
        for (const SceneNode* c : n.children) count(*c);
    };
    count(root);
}

void ClipFiles::fail(const std::string& message) { staging.fail(message); }

void ChairTimeline::key(float t, const ChairState& c)
{
    curve_.key(t, {c.at.x, c.at.y, c.at.z, c.yaw, c.swivel, c.tilt});
    last_ = c;
}

ChairState ChairTimeline::at(float t) const
{
    std::vector<float> v = curve_.at(t);
    ChairState c;
    c.at = {v[0], v[1], v[2]};
    c.yaw = v[3];
    c.swivel = v[4];
    c.tilt = v[5];
    return c;
}

sm::Mat4 chairBaseFrame(const ChairState& c)
{
    return sm::translation(c.at) * sm::rotation(axisAngle({0, 1, 0}, c.yaw));
}

sm::Mat4 seatFrame(const ChairState& c)
{
    return chairBaseFrame(c) * sm::translation({0, kSeatHeight, 0}) * sm::rotation(seatTurn(c));
}

void writeRidingClip(ClipFiles& out, const std::string& name, float t0, float t1, float rate,
                     const ChairTimeline& chair, const RidePose& pose)
{
    model::Model m;
    addChairMeshes(m, kChairBaseId, kChairSeatId);
    saveModel(out.staging, "models/" + name + ".geo", m, false);
    SceneNode root;
    SceneNode& base = addNode(root, "chair", kChairBaseId);
    SceneNode& seat = addNode(base, rig::kSeatNode, kChairSeatId);
    seat.position = {0, kSeatHeight, 0};
    PoseKeys poses;
    for (float t : evenTimes(t0, t1, rate)) {
        ChairState c = chair.at(t);
        keyPosition(base, t, c.at);
        keyRotation(base, t, axisAngle({0, 1, 0}, c.yaw));
        keyRotation(seat, t, seatTurn(c));
        poses.push_back({t, pose(t, c, seatFrame(c))});
    }
    // The rider's tracks, his hip relative to the seat.
    addSkeleton(root, poses, false);
    out.animation(name, root);
}

void writeSkeletonClip(ClipFiles& out, const std::string& name, float t0, float t1, float rate,
                       const std::function<Pose(float t)>& pose)
{
    PoseKeys keys;
    for (float t : evenTimes(t0, t1, rate)) keys.push_back({t, pose(t)});
    SceneNode root;
    addSkeleton(root, keys, false);
    out.animation(name, root);
}

sm::Vec3 LookTrack::at(float t) const
{
    std::vector<float> v = curve_.at(t);
    return {v[0], v[1], v[2]};
}

void bend(Pose& p, float forward, float twist, float side)
{
    p.turn[rig::kSpine] = eulerYXZ(twist * 0.4f, forward * 0.45f, side * 0.5f);
    p.turn[rig::kChest] = eulerYXZ(twist * 0.6f, forward * 0.55f, side * 0.5f);
}

void armAngles(Pose& p, Side side, float forward, float out, float elbow, float twist)
{
    const bool left = side == Side::Left;
    const float s = left ? 1.0f : -1.0f;
    p.turn[left ? rig::kUpperArmL : rig::kUpperArmR] = axisAngle({0, 0, 1}, s * out) * axisAngle({1, 0, 0}, -forward);
    p.turn[left ? rig::kForearmL : rig::kForearmR] = axisAngle({0, 1, 0}, s * twist) * axisAngle({1, 0, 0}, -elbow);
    p.turn[left ? rig::kHandL : rig::kHandR] = sm::Quat{};
}

void legAngles(Pose& p, Side side, float lift, float out, float knee)
{
    const bool left = side == Side::Left;
    const float s = left ? 1.0f : -1.0f;
    p.turn[left ? rig::kThighL : rig::kThighR] = axisAngle({0, 0, 1}, s * out) * axisAngle({1, 0, 0}, -lift);
    p.turn[left ? rig::kShinL : rig::kShinR] = axisAngle({1, 0, 0}, knee);
    p.turn[left ? rig::kFootL : rig::kFootR] = axisAngle({1, 0, 0}, -0.5f * (knee - lift));
}

void shrug(Pose& p, float degrees)
{
    p.turn[rig::kShoulderL] = axisAngle({0, 0, 1}, degrees);
    p.turn[rig::kShoulderR] = axisAngle({0, 0, 1}, -degrees);
}

sm::Quat palmDown(Side side, sm::Vec3 fingers, sm::Vec3 up)
{
    sm::Vec3 thumb = side == Side::Left ? sm::cross(fingers, up) : sm::cross(up, fingers);
    return handRotation(fingers, thumb);
}

namespace {

// Joint blends take the way through the rest pose's side: both rotations
// are taken with w >= 0 and never flipped to the shorter arc, so a blend
// whose ends move smoothly moves smoothly too, even between rotations
// nearly opposite each other (where the shorter arc swaps sides).
sm::Quat blendJoint(sm::Quat a, sm::Quat b, float t)
{
    if (a.w < 0.0f) a = {-a.w, -a.x, -a.y, -a.z};
    if (b.w < 0.0f) b = {-b.w, -b.x, -b.y, -b.z};
    double d = double(a.w) * b.w + double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
    d = std::clamp(d, -1.0, 1.0);
    double ka = 1.0 - t, kb = t;
    double th = std::acos(d), s = std::sin(th);
    if (s > 1e-4) {
        ka = std::sin((1.0 - t) * th) / s;
        kb = std::sin(t * th) / s;
    }
    sm::Quat q{static_cast<float>(ka * a.w + kb * b.w), static_cast<float>(ka * a.x + kb * b.x),
               static_cast<float>(ka * a.y + kb * b.y), static_cast<float>(ka * a.z + kb * b.z)};
    return sm::normalize(q);
}

} // namespace

void reachBlend(Pose& p, const sm::Mat4& root, Side side, sm::Vec3 grip, sm::Quat hand, sm::Vec3 elbow, float weight,
                float arc)
{
    if (weight <= 0.0f) return;
    const bool left = side == Side::Left;
    Frames fr = forward(p, root);
    const sm::Mat4& h = fr[left ? rig::kHandL : rig::kHandR];
    sm::Vec3 from = sm::transformPoint(h, left ? rig::kGripL : rig::kGripR);
    sm::Quat fromTurn = rotationOf(h);
    float w = std::clamp(weight, 0.0f, 1.0f);
    sm::Vec3 at = from + (grip - from) * w + sm::Vec3{0, arc * std::sin(3.14159265f * w), 0};
    Pose q = p;
    reachGrip(q, root, side, at, slerp(fromTurn, hand, w), elbow);
    blendArm(p, q, side, std::min(1.0f, w * 4.0f));
}

void blendArm(Pose& a, const Pose& b, Side side, float t)
{
    const bool left = side == Side::Left;
    for (int bone : {left ? rig::kUpperArmL : rig::kUpperArmR, left ? rig::kForearmL : rig::kForearmR,
                     left ? rig::kHandL : rig::kHandR, left ? rig::kFingersL : rig::kFingersR,
                     left ? rig::kThumbL : rig::kThumbR, left ? rig::kShoulderL : rig::kShoulderR})
        a.turn[static_cast<std::size_t>(bone)] = blendJoint(a.turn[static_cast<std::size_t>(bone)], b.turn[static_cast<std::size_t>(bone)], t);
}

void blendLeg(Pose& a, const Pose& b, Side side, float t)
{
    const bool left = side == Side::Left;
    for (int bone : {left ? rig::kThighL : rig::kThighR, left ? rig::kShinL : rig::kShinR, left ? rig::kFootL : rig::kFootR})
        a.turn[static_cast<std::size_t>(bone)] = blendJoint(a.turn[static_cast<std::size_t>(bone)], b.turn[static_cast<std::size_t>(bone)], t);
}

float noise1(int i, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(i) * 0x9E3779B1u ^ static_cast<std::uint32_t>(seed) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFFFu) / static_cast<float>(0x7FFFFF) - 1.0f;
}

float wobble(float t, float rate, int seed)
{
    float x = t * rate;
    int i = static_cast<int>(std::floor(x));
    float f = x - static_cast<float>(i);
    float u = f * f * (3.0f - 2.0f * f);
    return noise1(i, seed) * (1.0f - u) + noise1(i + 1, seed) * u;
}

float blink(float t)
{
    // A blink every 2.5 to 5 seconds, each 0.24 s long.
    int i = static_cast<int>(std::floor(t / 3.7f));
    for (int k = i - 1; k <= i + 1; ++k) {
        float at = 3.7f * static_cast<float>(k) + 1.2f * noise1(k, 77);
        float d = std::fabs(t - at);
        if (d < 0.12f) return d / 0.12f * 0.9f + 0.1f;
    }
    return 1.0f;
}

float window(float t, float a, float b, float c, float d)
{
    if (t <= a || t >= d) return 0.0f;
    if (t < b) return ease((t - a) / (b - a));
    if (t > c) return 1.0f - ease((t - c) / (d - c));
    return 1.0f;
}

} // namespace world
