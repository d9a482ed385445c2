#include "tools/world/pose.h"

#include "tools/world/keys.h"

namespace world {

Pose standing(sm::Vec3 hip, float yawDegrees)
{
    Pose p;
    p.hip = hip;
    p.turn.fill(sm::Quat{});
    p.turn[rig::kHip] = axisAngle({0, 1, 0}, yawDegrees);
    return p;
}

Pose seated()
{
    Pose p = standing({0.0f, 8.0f, -4.0f}, 0.0f);
    p.turn[rig::kThighL] = p.turn[rig::kThighR] = axisAngle({1, 0, 0}, -88.0f);
    p.turn[rig::kShinL] = p.turn[rig::kShinR] = axisAngle({1, 0, 0}, 85.0f);
    p.turn[rig::kUpperArmL] = p.turn[rig::kUpperArmR] = axisAngle({1, 0, 0}, -30.0f);
    p.turn[rig::kForearmL] = p.turn[rig::kForearmR] = axisAngle({1, 0, 0}, -50.0f);
    return p;
}

SceneNode& addSkeleton(SceneNode& parent, const PoseKeys& keys, bool withIds)
{
    SceneNode* nodes[rig::kBoneCount] = {};
    for (int b = 0; b < rig::kBoneCount; ++b) {
        const rig::Bone& bone = rig::kBones[b];
        SceneNode& up = bone.parent < 0 ? parent : *nodes[bone.parent];
        SceneNode& n = addNode(up, bone.name, withIds ? bone.id : 0);
        n.position = bone.offset;
        for (const auto& [time, pose] : keys) {
            keyRotation(n, time, pose.turn[static_cast<std::size_t>(b)]);
            if (b == rig::kHip) keyPosition(n, time, pose.hip);
        }
        nodes[b] = &n;
    }
    return *nodes[rig::kHip];
}

SceneNode& addRestSkeleton(SceneNode& parent) { return addSkeleton(parent, {}, true); }

} // namespace world
