// The throw: on the drop he leaps out of the chair, steps behind it, swings
// it up over his head by the top of its back, turns and hurls it across the
// hall, watches it crash and runs off.
#include "tools/world/robot_throw.h"

#include "tools/model/vec_ops.h"
#include "tools/world/footwork.h"
#include "tools/world/keys.h"
#include "tools/world/robot_office.h"
#include "tools/world/schedule.h"

#include <cmath>
#include <functional>

namespace world {

using model::normalized;
using model::operator-;

namespace {

const sm::Vec3 kUp{0, 1, 0};
// The top corners of the chair's back, where he holds it (seat frame).
const sm::Vec3 kGripL{19.0f, 64.0f, -28.0f}, kGripR{-19.0f, 64.0f, -28.0f};
const sm::Vec3 kGripCentre{0.0f, 64.0f, -28.0f};

sm::Mat4 rotationPart(const sm::Mat4& m)
{
    sm::Mat4 r = m;
    r.a[12] = r.a[13] = r.a[14] = 0.0f;
    return r;
}

} // namespace

const ThrowPlan& throwPlan()
{
    static const ThrowPlan plan = [] {
        ThrowPlan p;
        p.chair = office::shockChair();
        p.grab = kChairGrab;
        p.release = kChairRelease;
        // About 11 m through the air and 2 m skidding, clear of the later runs.
        p.landing = {-780.0f, 0.0f, -270.0f};
        p.rest = {-640.0f, 0.0f, -140.0f};
        return p;
    }();
    return plan;
}

sm::Mat4 designedSeat(float t)
{
    const ThrowPlan& plan = throwPlan();
    const sm::Mat4 seat0 = seatFrame(plan.chair);
    if (t <= plan.grab) return seat0;
    // The grip centre's path and the chair's tip about his left-right axis,
    // both turning with him.
    struct Key {
        float t;
        sm::Vec3 grip;  // relative to the hip's floor point: (left, up, forward) of his facing
        float tip;      // degrees, the chair's back tipping towards him and over
        float yaw;      // his facing
    };
    static const Key keys[] = {
        {135.8f, {0, 0, 0}, 0.0f, 172.0f},  // (grip from the resting chair)
        {136.2f, {0, 118, 38}, -80.0f, 172.0f},
        {136.55f, {0, 205, 2}, -175.0f, 168.0f},
        {136.95f, {0, 200, -8}, -185.0f, 58.0f},
        {137.05f, {0, 196, -22}, -205.0f, 50.0f},
        {137.25f, {0, 205, 42}, -120.0f, 50.0f},
    };
    const sm::Vec3 g0 = sm::transformPoint(seat0, kGripCentre);
    const sm::Mat4 r0 = rotationPart(seat0);
    std::size_t i = 1;
    while (i + 1 < std::size(keys) && t > keys[i].t) ++i;
    const Key &a = keys[i - 1], &b = keys[i];
    float u = ease(std::clamp((t - a.t) / (b.t - a.t), 0.0f, 1.0f));
    auto gripAt = [&](const Key& k) {
        if (k.t <= plan.grab) return g0;
        sm::Vec3 f = headingDir(k.yaw), l = headingDir(k.yaw + 90.0f);
        sm::Vec3 hip = throwHipFloor(k.t);
        return hip + l * k.grip.x + kUp * k.grip.y + f * k.grip.z;
    };
    sm::Vec3 grip = gripAt(a) + (gripAt(b) - gripAt(a)) * u;
    float tip = a.tip + (b.tip - a.tip) * u;
    float yaw = a.yaw + (b.yaw - a.yaw) * u;
    // Orientation: the resting chair turned with his facing, tipped about
    // his left-right axis.
    sm::Mat4 turn = sm::rotation(axisAngle({0, 1, 0}, yaw - 172.0f));
    sm::Vec3 axis = headingDir(yaw + 90.0f);
    sm::Mat4 r = sm::rotation(axisAngle(axis, tip)) * turn * r0;
    sm::Vec3 offset = sm::transformPoint(r, kGripCentre);
    sm::Mat4 m = r;
    m.a[12] = grip.x - offset.x, m.a[13] = grip.y - offset.y, m.a[14] = grip.z - offset.z;
    return m;
}

// His hip's point on the floor while he handles the chair.
sm::Vec3 throwHipFloor(float t)
{
    struct Key {
        float t;
        sm::Vec3 at;
    };
    static const Key keys[] = {
        {135.3f, {-1692, 0, -980}}, {135.8f, {-1692, 0, -982}}, {136.55f, {-1690, 0, -986}},
        {136.95f, {-1672, 0, -972}}, {137.05f, {-1676, 0, -976}}, {137.35f, {-1650, 0, -952}},
        {140.0f, {-1650, 0, -950}},
    };
    if (t <= keys[0].t) return keys[0].at;
    std::size_t i = 1;
    while (i + 1 < std::size(keys) && t > keys[i].t) ++i;
    float u = ease(std::clamp((t - keys[i - 1].t) / (keys[i].t - keys[i - 1].t), 0.0f, 1.0f));
    return keys[i - 1].at + (keys[i].at - keys[i - 1].at) * u;
}

void writeThrowClip(ClipFiles& out)
{
    const ThrowPlan& plan = throwPlan();
    const float t0 = kFlyingChairShown, t1 = 140.0f;
    const Pose slumped = office::slumpedInWorld();
    const sm::Mat4 seat0 = seatFrame(plan.chair);
    const sm::Vec3 seatAt = origin(seat0);
    const PathInfo& run = pathInfo("run01");
    const float pace = run.pace;
    const sm::Vec3 runDir = headingDir(kRun01Heading);
    const float runIn = 0.7f;  // seconds from standing to the path's start
    const float runInDistance = 0.5f * pace * runIn;
    const sm::Vec3 runFrom = kRun01Start - runDir * runInDistance;

    // The feet.
    Footwork feet;
    {
        // Where they rested in the chair.
        Frames fr = forward(slumped, sm::identityMatrix());
        sm::Vec3 l0 = origin(fr[rig::kFootL]), r0 = origin(fr[rig::kFootR]);
        l0.y = r0.y = rig::kAnkleHeight;
        feet.plant(Side::Left, t0, 134.42f, l0, 172.0f);
        feet.plant(Side::Right, t0, 134.38f, r0, 172.0f);
    }
    // Landing beside the chair, facing it; round behind it.
    feet.plant(Side::Left, 134.78f, 135.05f, ankleOver({-1618, 0, -1050}), 250.0f);
    feet.plant(Side::Right, 134.76f, 135.15f, ankleOver({-1612, 0, -1020}), 250.0f);
    feet.plant(Side::Right, 135.3f, 136.62f, ankleOver({-1705, 0, -975}), 172.0f);
    feet.plant(Side::Left, 135.25f, 136.7f, ankleOver({-1680, 0, -988}), 175.0f);
    // Turning under the chair towards the throw.
    feet.plant(Side::Right, 136.85f, 137.12f, ankleOver({-1688, 0, -965}), 80.0f);
    feet.plant(Side::Left, 136.92f, 137.06f, ankleOver({-1666, 0, -986}), 55.0f);
    // The step into the throw, and the follow-through.
    feet.plant(Side::Left, 137.2f, 139.3f, ankleOver({-1628, 0, -940}), 55.0f);
    feet.plant(Side::Right, 137.55f, 139.3f, ankleOver({-1664, 0, -938}), 65.0f);

    PoseTimeline keys;
    {
        Pose gather = slumped;
        bend(gather, 26, 6, 6);
        gather.hip.y -= 3.0f;
        keys.key(t0, slumped);
        keys.key(134.25f, gather);
    }
    keys.key(134.55f, body(seatAt + sm::Vec3{40, 75, 10}, 215.0f, -12, 0, 0, 0));
    keys.key(134.8f, body({-1615, 82, -1035}, 250.0f, 22, 0, 0, 10));   // landing low ...
    keys.key(135.05f, body({-1615, 93, -1035}, 252.0f, 12, 0, 0, 4));   // ... up, fuming
    keys.key(135.35f, body(throwHipFloor(135.35f) + sm::Vec3{0, 94, 0}, 180.0f, 10));
    keys.key(135.8f, body(throwHipFloor(135.8f) + sm::Vec3{0, 84, 0}, 172.0f, 34, 0, 0, 12));  // reaching down
    keys.key(136.2f, body(throwHipFloor(136.2f) + sm::Vec3{0, 86, 0}, 172.0f, -8, 0, 0, 0));   // heaving up
    keys.key(136.55f, body(throwHipFloor(136.55f) + sm::Vec3{0, 95, 0}, 168.0f, -6));
    keys.key(136.95f, body(throwHipFloor(136.95f) + sm::Vec3{0, 93, 0}, 58.0f, -14, 0, 0, -4));
    keys.key(137.05f, body(throwHipFloor(137.05f) + sm::Vec3{0, 90, 0}, 50.0f, -22, 10, 0, -6));  // wound up
    keys.key(137.25f, body(throwHipFloor(137.25f) + sm::Vec3{0, 88, 0}, 50.0f, 30, -8, 0, 12));   // the hurl
    keys.key(137.6f, body(throwHipFloor(137.6f) + sm::Vec3{0, 82, 0}, 52.0f, 44, -4, 0, 16));   // following through
    keys.key(138.2f, body(throwHipFloor(138.2f) + sm::Vec3{0, 92, 0}, 52.0f, 12));
    keys.key(138.7f, body(throwHipFloor(138.7f) + sm::Vec3{0, 95, 0}, 50.0f, 8));
    keys.key(139.3f, body({runFrom.x, 92, runFrom.z}, kRun01Heading, 14, 0, 0, 6));

    LookTrack look;
    look.key(t0, seatAt + sm::Vec3{0, -40, -40});
    look.key(134.3f, seatAt + sm::Vec3{0, 70, -200});
    look.key(134.8f, seatAt + sm::Vec3{0, 20, 0});
    look.key(135.8f, sm::transformPoint(seat0, kGripCentre));
    look.key(136.5f, plan.landing + sm::Vec3{0, 250, 0});
    look.key(137.3f, plan.landing + sm::Vec3{0, 200, 0});
    look.key(138.6f, plan.landing);
    look.key(139.1f, plan.rest);
    look.key(139.5f, kRun01Start + runDir * 400.0f + sm::Vec3{0, 120, 0});
    look.key(140.0f, kRun01Start + runDir * 500.0f + sm::Vec3{0, 120, 0});

    const sm::Quat relL = handRotation({0, -0.6f, 1}, {-1, 0, 0}), relR = handRotation({0, -0.6f, 1}, {1, 0, 0});
    Pose atRelease;
    std::function<Pose(float)> pose = [&](float t) {
        Pose p = keys.at(t);
        if (t < 134.3f) {
            // Out of the chair: the seated legs and arms as they were.
            Pose q = slumped;
            float w = std::clamp((t - t0) / (134.3f - t0), 0.0f, 1.0f);
            for (int b : {rig::kShoulderL, rig::kUpperArmL, rig::kForearmL, rig::kHandL, rig::kShoulderR, rig::kUpperArmR,
                          rig::kForearmR, rig::kHandR})
                p.turn[static_cast<std::size_t>(b)] = slerp(q.turn[static_cast<std::size_t>(b)], p.turn[static_cast<std::size_t>(b)], w);
        }
        // In the air: knees up, arms flung up.
        float air = window(t, 134.3f, 134.5f, 134.62f, 134.92f);
        if (air > 0.0f) {
            Pose q = p;
            legAngles(q, Side::Left, 60.0f, 6.0f, 80.0f);
            legAngles(q, Side::Right, 40.0f, 6.0f, 70.0f);
            armAngles(q, Side::Left, 150.0f, 35.0f, 20.0f);
            armAngles(q, Side::Right, 150.0f, 35.0f, 20.0f);
            blendLeg(p, q, Side::Left, air);
            blendLeg(p, q, Side::Right, air);
            blendArm(p, q, Side::Left, air);
            blendArm(p, q, Side::Right, air);
        }
        // Fuming on landing: fists at his sides, shaking.
        float fume = window(t, 134.75f, 135.0f, 135.25f, 135.5f);
        if (fume > 0.0f) {
            Pose q = p;
            armAngles(q, Side::Left, 20.0f + 6.0f * wobble(t, 14.0f, 31), 25.0f, 95.0f);
            armAngles(q, Side::Right, 20.0f + 6.0f * wobble(t, 14.0f, 32), 25.0f, 95.0f);
            curl(q, Side::Left, 1.0f);
            curl(q, Side::Right, 1.0f);
            blendArm(p, q, Side::Left, fume);
            blendArm(p, q, Side::Right, fume);
        }
        const sm::Mat4 root = sm::identityMatrix();
        feet.apply(p, root, t);
        // The run-in: from standing into the run.
        if (t > 139.3f) {
            float left = std::max(0.0f, t1 - t);
            float remaining = 0.5f * (pace / runIn) * left * left;
            Pose r = runPoseAt(kRun01Start - runDir * remaining, kRun01Heading,
                               run.startPhase - remaining / kRunCycleTravel);
            p = blend(p, r, ease((t - 139.3f) / 0.35f));
        }
        lookAt(p, root, look.at(t));
        // The chair in his hands.
        float hold = window(t, 135.55f, plan.grab, 1e9f, 1e9f);
        if (t > plan.release) {
            // Let go: the arms follow through forward and down from where
            // they held it.
            hold = 0.0f;
            float u = (t - plan.release) / 0.45f;
            Pose q = p;
            armAngles(q, Side::Left, 95.0f - 55.0f * ease(u), 22.0f, 15.0f);
            armAngles(q, Side::Right, 95.0f - 55.0f * ease(u), 22.0f, 15.0f);
            float w = 1.0f - ease((t - plan.release) / 0.3f);
            blendArm(q, atRelease, Side::Left, w);
            blendArm(q, atRelease, Side::Right, w);
            float keep = 1.0f - ease((t - plan.release - 0.45f) / 0.4f);
            blendArm(p, q, Side::Left, keep);
            blendArm(p, q, Side::Right, keep);
        }
        if (hold > 0.0f) {
            sm::Mat4 seat = designedSeat(std::min(t, plan.release));
            sm::Mat4 r = rotationPart(seat);
            sm::Vec3 l = headingDir(160.0f + 90.0f);
            Pose q = p;
            reachGrip(q, root, Side::Left, sm::transformPoint(seat, kGripL), rotationOf(r) * relL, l + sm::Vec3{0, -0.5f, 0});
            reachGrip(q, root, Side::Right, sm::transformPoint(seat, kGripR), rotationOf(r) * relR, -l + sm::Vec3{0, -0.5f, 0});
            curl(q, Side::Left, t < plan.grab - 0.1f ? 0.2f : 0.75f);
            curl(q, Side::Right, t < plan.grab - 0.1f ? 0.2f : 0.75f);
            blendArm(p, q, Side::Left, hold);
            blendArm(p, q, Side::Right, hold);
        }
        // Panting after the throw.
        float pant = window(t, 137.9f, 138.3f, 139.0f, 139.3f);
        if (pant > 0.0f) {
            float breath = 0.5f + 0.5f * std::sin(t * 12.0f);
            p.turn[rig::kChest] = p.turn[rig::kChest] * axisAngle({1, 0, 0}, -4.0f * breath * pant);
            shrug(p, 5.0f * breath * pant);
            Pose q = p;
            armAngles(q, Side::Left, 10.0f, 18.0f, 30.0f);
            armAngles(q, Side::Right, 10.0f, 18.0f, 30.0f);
            curl(q, Side::Left, 0.9f);
            curl(q, Side::Right, 0.9f);
            blendArm(p, q, Side::Left, pant);
            blendArm(p, q, Side::Right, pant);
        }
        float rage = window(t, 134.2f, 134.3f, 137.6f, 138.2f);
        p.eyes = t < 134.2f ? 0.38f + 0.87f * ease((t - t0) / 0.15f) : 1.0f + 0.25f * rage;
        return p;
    };
    atRelease = pose(plan.release);
    writeSkeletonClip(out, "throw", t0, t1, 30.0f, pose);
}

} // namespace world
