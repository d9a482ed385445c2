#include "tools/world/footwork.h"

#include "tools/world/robot_clips.h"

#include "tools/model/vec_ops.h"
#include "tools/world/keys.h"
#include "tools/world/timeline.h"

#include <algorithm>
#include <cmath>

namespace world {

using model::normalized;

sm::Vec3 ankleOver(sm::Vec3 floor) { return floor + sm::Vec3{0, rig::kAnkleHeight, 0}; }

void Footwork::plant(Side side, float t0, float t1, sm::Vec3 ankle, float yaw)
{
    plants_[side == Side::Left ? 0 : 1].push_back({t0, t1, ankle, yaw});
}

bool Footwork::planted(Side side, float t) const
{
    for (const Plant& p : plants_[side == Side::Left ? 0 : 1])
        if (t >= p.t0 && t <= p.t1) return true;
    return false;
}

void Footwork::apply(Pose& pose, const sm::Mat4& root, float t, float maxStep, float blend) const
{
    for (Side side : {Side::Left, Side::Right}) {
        const std::vector<Plant>& list = plants_[side == Side::Left ? 0 : 1];
        sm::Vec3 ankle;
        float yaw = 0.0f, pitch = 0.0f, weight = 0.0f;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Plant& a = list[i];
            if (t >= a.t0 && t <= a.t1) {
                ankle = a.ankle, yaw = a.yaw, weight = 1.0f;
                break;
            }
            const bool last = i + 1 == list.size();
            if (!last && t > a.t1 && t < list[i + 1].t0 && list[i + 1].t0 - a.t1 <= maxStep) {
                // A step: up off the floor and over to the next spot, toes
                // down as it leaves and up as it lands.
                const Plant& b = list[i + 1];
                float u = (t - a.t1) / (b.t0 - a.t1);
                float e = ease(u);
                float dist = sm::length(b.ankle - a.ankle);
                ankle = a.ankle + (b.ankle - a.ankle) * e;
                ankle.y += std::min(22.0f, 6.0f + 0.12f * dist) * std::sin(3.14159265f * u);
                yaw = a.yaw + (b.yaw - a.yaw) * e;
                pitch = 18.0f * std::sin(3.14159265f * u) * (u < 0.5f ? -1.0f : 0.6f);
                weight = 1.0f;
                break;
            }
            // Into the air after the last plant, or out of it before the next.
            if (t > a.t1 && t <= a.t1 + blend && (last || list[i + 1].t0 - a.t1 > maxStep)) {
                ankle = a.ankle + sm::Vec3{0, 10.0f * (t - a.t1) / blend, 0}, yaw = a.yaw;
                weight = 1.0f - ease((t - a.t1) / blend);
                break;
            }
            if (t < a.t0 && t >= a.t0 - blend && (i == 0 || a.t0 - list[i - 1].t1 > maxStep)) {
                ankle = a.ankle + sm::Vec3{0, 10.0f * (a.t0 - t) / blend, 0}, yaw = a.yaw;
                weight = ease(1.0f - (a.t0 - t) / blend);
                break;
            }
        }
        if (weight <= 0.0f) continue;
        Pose q = pose;
        float r = yaw * 3.14159265f / 180.0f;
        sm::Vec3 toes{std::sin(r), 0.0f, std::cos(r)};
        placeAnkle(q, root, side, ankle, footRotation(toes, pitch), toes + sm::Vec3{0, 0.3f, 0});
        blendLeg(pose, q, side, weight);
    }
}

} // namespace world
