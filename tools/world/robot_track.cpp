#include "tools/world/robot_track.h"

#include "tools/model/vec_ops.h"
#include "tools/world/performance.h"
#include "tools/world/robot_rig.h"

#include <algorithm>
#include <cmath>

namespace world {

using namespace model;

RobotTrack::RobotTrack(Performance& robot)
{
    const int count = static_cast<int>(kEnd * kRate) + 1;
    samples_.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        float t = static_cast<float>(i) / kRate;
        Sample& s = samples_[static_cast<std::size_t>(i)];
        for (int b = 0; b < rig::kBoneCount; ++b) s.bones.push_back(robot.bonePosition(t, b));
        sm::Mat4 hip = robot.bone(t, rig::kHip);
        sm::Vec3 f{hip.a[8], 0.0f, hip.a[10]};
        s.facing = sm::length(f) > 1e-3f ? normalized(f) : sm::Vec3{0, 0, 1};
    }
}

sm::Vec3 RobotTrack::bone(float t, int boneIndex) const
{
    float f = std::clamp(t * kRate, 0.0f, static_cast<float>(samples_.size() - 1));
    std::size_t i = std::min(static_cast<std::size_t>(f), samples_.size() - 2);
    float a = f - static_cast<float>(i);
    auto b = static_cast<std::size_t>(boneIndex);
    return lerp(samples_[i].bones[b], samples_[i + 1].bones[b], a);
}

sm::Vec3 RobotTrack::facing(float t) const
{
    float f = std::clamp(t * kRate, 0.0f, static_cast<float>(samples_.size() - 1));
    std::size_t i = std::min(static_cast<std::size_t>(f), samples_.size() - 2);
    float a = f - static_cast<float>(i);
    sm::Vec3 v = lerp(samples_[i].facing, samples_[i + 1].facing, a);
    return sm::length(v) > 1e-3f ? normalized(v) : samples_[i].facing;
}

sm::Vec3 RobotTrack::centre(float t) const
{
    sm::Vec3 lo = bone(t, 0), hi = lo;
    for (int b = 1; b < rig::kBoneCount; ++b) {
        sm::Vec3 p = bone(t, b);
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    return (lo + hi) * 0.5f;
}

float RobotTrack::radius(float t) const
{
    sm::Vec3 c = centre(t);
    float r = 0.0f;
    for (int b = 0; b < rig::kBoneCount; ++b) r = std::max(r, sm::length(bone(t, b) - c));
    return r + kLimbRadius;
}

sm::Vec3 RobotTrack::smoothedCentre(float t, float window) const
{
    if (window <= 0.0f) return centre(t);
    sm::Vec3 sum;
    float weight = 0.0f;
    for (int k = -8; k <= 8; ++k) {
        float w = 1.0f - std::fabs(static_cast<float>(k)) / 9.0f;
        sum += centre(t + window * static_cast<float>(k) / 8.0f) * w;
        weight += w;
    }
    return sum / weight;
}

sm::Vec3 RobotTrack::travel(float t, float window) const
{
    sm::Vec3 d = smoothedCentre(t + 0.3f, window) - smoothedCentre(t - 0.3f, window);
    d.y = 0.0f;
    return sm::length(d) > 5.0f ? normalized(d) : facing(t);
}

} // namespace world
