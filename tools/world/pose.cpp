#include "tools/world/pose.h"

#include "tools/model/vec_ops.h"
#include "tools/world/keys.h"

#include <algorithm>
#include <cmath>

namespace world {

using model::normalized;
using model::operator-;
using model::operator/;
using rig::kBones;

namespace {

sm::Quat conj(sm::Quat q) { return {q.w, -q.x, -q.y, -q.z}; }

sm::Vec3 rotate(sm::Quat q, sm::Vec3 v)
{
    return sm::transformPoint(rotationMatrix(q), v);
}

// Any unit vector square to v.
sm::Vec3 squareTo(sm::Vec3 v)
{
    sm::Vec3 a = std::fabs(v.y) < 0.9f ? sm::Vec3{0, 1, 0} : sm::Vec3{1, 0, 0};
    return normalized(sm::cross(v, a));
}

// The upper bone from the joint towards `target`, the lower bone on to it,
// the end bone turned to `endWorld`. The hinge bends towards the pole: a
// knee (jointForward) points along its thigh's +Z, an elbow along its upper
// arm's -Z.
float solveTwoBone(Pose& pose, const sm::Mat4& root, int upper, int lower, int end, sm::Vec3 target,
                   sm::Vec3 pole, bool jointForward, sm::Quat endWorld)
{
    Frames f = forward(pose, root);
    const sm::Mat4& parentW = f[static_cast<std::size_t>(kBones[upper].parent)];
    sm::Vec3 joint = sm::transformPoint(parentW, kBones[upper].offset);
    float a = sm::length(kBones[lower].offset), b = sm::length(kBones[end].offset);
    sm::Vec3 d = target - joint;
    float dist = sm::length(d);
    sm::Vec3 dn = dist > 1e-4f ? d / dist : sm::Vec3{0, -1, 0};
    float reach = std::clamp(dist, std::fabs(a - b) + 0.5f, a + b - 0.05f);
    sm::Vec3 pp = pole - dn * sm::dot(dn, pole);
    pp = sm::length(pp) > 1e-4f ? normalized(pp) : squareTo(dn);
    float cosA = std::clamp((a * a + reach * reach - b * b) / (2.0f * a * reach), -1.0f, 1.0f);
    float sinA = std::sqrt(std::max(0.0f, 1.0f - cosA * cosA));
    sm::Vec3 knee = joint + (dn * cosA + pp * sinA) * a;
    sm::Vec3 tip = joint + dn * reach;
    sm::Vec3 yU = normalized(joint - knee);
    sm::Vec3 zU = normalized(pp - yU * sm::dot(yU, pp));
    if (!jointForward) zU = -zU;
    sm::Vec3 xU = sm::cross(yU, zU);
    sm::Vec3 yL = normalized(knee - tip);
    sm::Vec3 zL = sm::cross(xU, yL);
    sm::Quat rU = rotationFromAxes(xU, yU, zU), rL = rotationFromAxes(xU, yL, zL);
    sm::Quat upperLocal = conj(rotationOf(parentW)) * rU, lowerLocal = conj(rU) * rL, endLocal = conj(rL) * endWorld;
    pose.turn[static_cast<std::size_t>(upper)] = sm::normalize(upperLocal);
    pose.turn[static_cast<std::size_t>(lower)] = sm::normalize(lowerLocal);
    pose.turn[static_cast<std::size_t>(end)] = sm::normalize(endLocal);
    return std::fabs(dist - reach);
}

} // namespace

sm::Vec3 origin(const sm::Mat4& m) { return sm::transformPoint(m, {}); }

sm::Quat rotationOf(const sm::Mat4& m) { return quatFromMatrix(m); }

sm::Mat4 rotationMatrix(sm::Quat q) { return sm::rotation(q); }

sm::Quat rotationFromAxes(sm::Vec3 x, sm::Vec3 y, sm::Vec3 z)
{
    sm::Mat4 m;
    m.a[0] = x.x, m.a[1] = x.y, m.a[2] = x.z;
    m.a[4] = y.x, m.a[5] = y.y, m.a[6] = y.z;
    m.a[8] = z.x, m.a[9] = z.y, m.a[10] = z.z;
    return quatFromMatrix(m);
}

sm::Quat handRotation(sm::Vec3 fingers, sm::Vec3 thumb)
{
    sm::Vec3 y = -normalized(fingers);
    sm::Vec3 z = thumb - y * sm::dot(thumb, y);
    z = sm::length(z) > 1e-4f ? normalized(z) : squareTo(y);
    return rotationFromAxes(sm::cross(y, z), y, z);
}

sm::Quat footRotation(sm::Vec3 toes, float pitchDegrees)
{
    sm::Vec3 z = normalized(sm::Vec3{toes.x, 0.0f, toes.z});
    float yaw = std::atan2(z.x, z.z) * 180.0f / model::kPi;
    return axisAngle({0, 1, 0}, yaw) * axisAngle({1, 0, 0}, -pitchDegrees);
}

Pose standing(sm::Vec3 hip, float yawDegrees)
{
    Pose p;
    p.hip = hip;
    p.turn.fill(sm::Quat{});
    p.turn[rig::kHip] = axisAngle({0, 1, 0}, yawDegrees);
    // Arms a little away from the body, elbows soft, fingers relaxed.
    p.turn[rig::kUpperArmL] = axisAngle({0, 0, 1}, 9.0f);
    p.turn[rig::kUpperArmR] = axisAngle({0, 0, 1}, -9.0f);
    p.turn[rig::kForearmL] = p.turn[rig::kForearmR] = axisAngle({1, 0, 0}, -14.0f);
    curl(p, Side::Left, 0.25f);
    curl(p, Side::Right, 0.25f);
    return p;
}

Pose seated()
{
    Pose p = standing({0.0f, 12.0f, -8.0f}, 0.0f);
    p.turn[rig::kThighL] = axisAngle({0, 0, 1}, 4.0f) * axisAngle({1, 0, 0}, -84.0f);
    p.turn[rig::kThighR] = axisAngle({0, 0, 1}, -4.0f) * axisAngle({1, 0, 0}, -84.0f);
    p.turn[rig::kShinL] = p.turn[rig::kShinR] = axisAngle({1, 0, 0}, 80.0f);
    p.turn[rig::kSpine] = axisAngle({1, 0, 0}, 4.0f);
    p.turn[rig::kUpperArmL] = axisAngle({0, 0, 1}, 10.0f) * axisAngle({1, 0, 0}, -25.0f);
    p.turn[rig::kUpperArmR] = axisAngle({0, 0, 1}, -10.0f) * axisAngle({1, 0, 0}, -25.0f);
    p.turn[rig::kForearmL] = p.turn[rig::kForearmR] = axisAngle({1, 0, 0}, -45.0f);
    return p;
}

Frames forward(const Pose& pose, const sm::Mat4& root)
{
    Frames f;
    for (int b = 0; b < rig::kBoneCount; ++b) {
        const rig::Bone& bone = kBones[b];
        const sm::Mat4& parent = bone.parent < 0 ? root : f[static_cast<std::size_t>(bone.parent)];
        sm::Vec3 at = b == rig::kHip ? pose.hip : bone.offset;
        f[static_cast<std::size_t>(b)] = parent * sm::translation(at) * sm::rotation(pose.turn[static_cast<std::size_t>(b)]);
    }
    return f;
}

float reachWrist(Pose& pose, const sm::Mat4& root, Side side, sm::Vec3 wrist, sm::Quat hand, sm::Vec3 elbow)
{
    bool left = side == Side::Left;
    return solveTwoBone(pose, root, left ? rig::kUpperArmL : rig::kUpperArmR, left ? rig::kForearmL : rig::kForearmR,
                        left ? rig::kHandL : rig::kHandR, wrist, elbow, false, hand);
}

float reachGrip(Pose& pose, const sm::Mat4& root, Side side, sm::Vec3 grip, sm::Quat hand, sm::Vec3 elbow)
{
    sm::Vec3 offset = rotate(hand, side == Side::Left ? rig::kGripL : rig::kGripR);
    return reachWrist(pose, root, side, grip - offset, hand, elbow);
}

float placeAnkle(Pose& pose, const sm::Mat4& root, Side side, sm::Vec3 ankle, sm::Quat foot, sm::Vec3 knee)
{
    bool left = side == Side::Left;
    return solveTwoBone(pose, root, left ? rig::kThighL : rig::kThighR, left ? rig::kShinL : rig::kShinR,
                        left ? rig::kFootL : rig::kFootR, ankle, knee, true, foot);
}

void setWorldRotation(Pose& pose, const sm::Mat4& root, int bone, sm::Quat world)
{
    int parent = kBones[bone].parent;
    sm::Quat up = parent < 0 ? rotationOf(root) : rotationOf(forward(pose, root)[static_cast<std::size_t>(parent)]);
    pose.turn[static_cast<std::size_t>(bone)] = conj(up) * world;
    sm::normalize(pose.turn[static_cast<std::size_t>(bone)]);
}

void lookAt(Pose& pose, const sm::Mat4& root, sm::Vec3 target, float share)
{
    pose.turn[rig::kNeck] = pose.turn[rig::kHead] = sm::Quat{};
    Frames f = forward(pose, root);
    sm::Vec3 eyes = origin(f[rig::kEyes]);
    sm::Mat4 chestInv = sm::inverse(rotationMatrix(rotationOf(f[rig::kChest])));
    sm::Vec3 dir = normalized(sm::transformPoint(chestInv, target - eyes));
    float yaw = std::clamp(std::atan2(dir.x, dir.z) * 180.0f / model::kPi, -85.0f, 85.0f);
    float pitch = std::clamp(-std::asin(std::clamp(dir.y, -1.0f, 1.0f)) * 180.0f / model::kPi, -55.0f, 60.0f);
    pose.turn[rig::kNeck] = eulerYXZ(yaw * share, pitch * share, 0.0f);
    pose.turn[rig::kHead] = eulerYXZ(yaw * (1.0f - share), pitch * (1.0f - share), 0.0f);
}

void curl(Pose& pose, Side side, float amount)
{
    float s = side == Side::Left ? -1.0f : 1.0f;
    pose.turn[side == Side::Left ? rig::kFingersL : rig::kFingersR] = axisAngle({0, 0, 1}, s * 100.0f * amount);
    pose.turn[side == Side::Left ? rig::kThumbL : rig::kThumbR] =
        axisAngle({0, 0, 1}, s * 35.0f * amount) * axisAngle({1, 0, 0}, 25.0f - 55.0f * amount);
}

SceneNode& addSkeleton(SceneNode& parent, const PoseKeys& keys, bool withIds)
{
    SceneNode* nodes[rig::kBoneCount] = {};
    for (int b = 0; b < rig::kBoneCount; ++b) {
        const rig::Bone& bone = kBones[b];
        SceneNode& up = bone.parent < 0 ? parent : *nodes[bone.parent];
        SceneNode& n = addNode(up, bone.name, withIds ? bone.id : 0);
        n.position = bone.offset;
        for (const auto& [time, pose] : keys) {
            keyRotation(n, time, pose.turn[static_cast<std::size_t>(b)]);
            if (b == rig::kHip) keyPosition(n, time, pose.hip);
            if (b == rig::kEyes) keyScale(n, time, {1.0f, std::clamp(pose.eyes, 0.08f, 1.0f), 1.0f});
        }
        nodes[b] = &n;
    }
    return *nodes[rig::kHip];
}

SceneNode& addRestSkeleton(SceneNode& parent) { return addSkeleton(parent, {}, true); }

} // namespace world
