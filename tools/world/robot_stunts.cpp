// The stunts between the runs: the swing on the low pipe, the jump over the
// crate row, up onto the platform and the flip off it. Each starts running
// in the stride the run before it ends in, and ends running into the stride
// the next run starts with.
#include "tools/world/robot_clips.h"

#include "tools/model/vec_ops.h"
#include "tools/world/footwork.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"

#include <cmath>

namespace world {

using model::normalized;
using model::operator-;

namespace {

namespace L = layout;

const sm::Vec3 kUp{0, 1, 0};

// Running in from a path's end: `from` and the phase there, carrying on at
// `pace` for `seconds` after t0.
Pose runOn(const PathInfo& from, float heading, float t0, float t)
{
    float d = from.pace * (t - t0);
    return runPoseAt(from.end + headingDir(heading) * d, heading, from.endPhase + d / kRunCycleTravel);
}

// Running off into a path's start, accelerating evenly from standing at t0
// to its pace at t1.
Pose runInto(const PathInfo& to, float heading, float t0, float t1, float t)
{
    float left = std::max(0.0f, t1 - t);
    float remaining = 0.5f * (to.pace / (t1 - t0)) * left * left;
    return runPoseAt(to.start - headingDir(heading) * remaining, heading, to.startPhase - remaining / kRunCycleTravel);
}

// Where running into a path's start begins.
sm::Vec3 runIntoFrom(const PathInfo& to, float heading, float t0, float t1)
{
    return to.start - headingDir(heading) * (0.5f * to.pace * (t1 - t0));
}

// Arms thrown up in a wide V, fists open: the "ta-da".
void taDa(Pose& p, float weight)
{
    if (weight <= 0.0f) return;
    Pose q = p;
    armAngles(q, Side::Left, 20.0f, 140.0f, 10.0f);
    armAngles(q, Side::Right, 20.0f, 140.0f, 10.0f);
    curl(q, Side::Left, 0.0f);
    curl(q, Side::Right, 0.0f);
    blendArm(p, q, Side::Left, weight);
    blendArm(p, q, Side::Right, weight);
}

} // namespace

namespace {

void writeBranchClip(ClipFiles& out)
{
    const float t0 = 170.0f, t1 = 178.0f;
    const PathInfo& in = pathInfo("run02");
    const PathInfo& next = pathInfo("run021");
    const float heading = 270.0f;  // west, along X
    const sm::Vec3 fwd = headingDir(heading);
    const float z = in.end.z;
    const sm::Vec3 pivot{L::kSwingPipeX, L::kSwingPipeY, z};
    const float reach = 112.0f;  // from the grip to the hip with the arms straight up
    const float takeOff = 170.14f, catchAt = 170.32f, release = 175.2f, land = 175.72f;
    const float runFrom = 176.45f;
    const sm::Vec3 runStart = runIntoFrom(next, heading, runFrom, t1);

    // The swing's angle from hanging straight down (forward positive).
    Spline swing;
    swing.key(catchAt, {-22.0f});
    swing.key(170.95f, {92.0f});
    swing.key(172.05f, {-68.0f});
    swing.key(173.15f, {72.0f});
    swing.key(174.25f, {-58.0f});
    swing.key(175.35f, {62.0f});
    auto angle = [&](float t) { return swing.at(t)[0]; };
    auto hanging = [&](float t) {
        float th = angle(t) * 3.14159265f / 180.0f;
        sm::Vec3 hip = pivot + fwd * (reach * std::sin(th)) - kUp * (reach * std::cos(th));
        float speed = (angle(t + 0.02f) - angle(t - 0.02f)) / 0.04f;  // degrees per second
        Pose p = standing(hip, heading);
        p.turn[rig::kHip] = axisAngle({0, 1, 0}, heading) * axisAngle({1, 0, 0}, -angle(t));
        // Legs lead the way: piked going forward, trailing bent coming back.
        float lead = std::clamp(speed / 300.0f, -1.0f, 1.0f);
        legAngles(p, Side::Left, 20.0f + 30.0f * lead, 4.0f, 15.0f + 35.0f * std::max(0.0f, -lead));
        legAngles(p, Side::Right, 14.0f + 30.0f * lead, 4.0f, 22.0f + 35.0f * std::max(0.0f, -lead));
        bend(p, 8.0f * lead, 0.0f, 0.0f);
        return p;
    };
    const sm::Vec3 releaseHip = hanging(release).hip;
    Footwork feet;
    const sm::Vec3 landAt = runStart + fwd * -10.0f;
    feet.plant(Side::Left, land, runFrom + 0.05f, ankleOver(landAt + sm::Vec3{0, 0, 10} + fwd * 8.0f), heading - 8.0f);
    feet.plant(Side::Right, land + 0.03f, runFrom + 0.05f, ankleOver(landAt + sm::Vec3{0, 0, -10} - fwd * 6.0f), heading + 8.0f);

    PoseTimeline air;
    air.key(takeOff, runOn(in, heading, t0, takeOff));
    {
        Pose p = hanging(catchAt);
        air.key(catchAt, p);
    }
    {
        Pose p = hanging(release);
        air.key(release, p);
        Pose up = body(releaseHip + fwd * 60.0f + sm::Vec3{0, 32, 0}, heading, 10, 0, 0, 20);
        legAngles(up, Side::Left, 70.0f, 6.0f, 60.0f);
        legAngles(up, Side::Right, 60.0f, 6.0f, 50.0f);
        air.key(175.45f, up);
    }
    air.key(land, body(landAt + sm::Vec3{0, 78, 0}, heading, 32, 0, 0, 14));  // landing low ...
    air.key(176.0f, body(landAt + sm::Vec3{0, 99, 0}, heading, -6, 0, 0, -2)); // ... up, past upright ...
    air.key(176.25f, body(landAt + sm::Vec3{0, 95, 0}, heading, 2));          // ... and settled
    air.key(runFrom, body(landAt + sm::Vec3{0, 90, 0}, heading, 16, 0, 0, 8));

    LookTrack look;
    look.key(t0, pivot + fwd * 150.0f);
    look.key(catchAt, pivot + fwd * 300.0f - kUp * 100.0f);
    look.key(175.0f, pivot + fwd * 300.0f - kUp * 150.0f);
    look.key(land, landAt + fwd * 300.0f + kUp * 80.0f);
    look.key(176.1f, landAt + fwd * 200.0f + kUp * 260.0f);
    look.key(t1, next.start + fwd * 400.0f + kUp * 120.0f);

    const sm::Vec3 l = headingDir(heading + 90.0f);
    auto armsOnPipe = [&](Pose& p, const sm::Mat4& root) {
        Frames fr = forward(p, root);
        const sm::Mat4& hip = fr[rig::kHip];
        sm::Vec3 up = normalized({hip.a[4], hip.a[5], hip.a[6]});
        for (Side s : {Side::Left, Side::Right}) {
            float side = s == Side::Left ? 1.0f : -1.0f;
            sm::Vec3 grip = pivot + l * (13.0f * side) + up * 3.0f;
            reachGrip(p, root, s, grip, handRotation(up, l * -side), l * side - up * 0.3f);
            curl(p, s, 0.8f);
        }
    };
    Pose atRelease = hanging(release);
    armsOnPipe(atRelease, sm::identityMatrix());
    auto pose = [&](float t) {
        Pose p;
        if (t < catchAt) {
            // The last stride and the leap up from it, reaching for the pipe.
            p = t <= takeOff ? runOn(in, heading, t0, t) : air.at(t);
            Pose q = p;
            armAngles(q, Side::Left, 160.0f, 12.0f, 10.0f);
            armAngles(q, Side::Right, 160.0f, 12.0f, 10.0f);
            float w = ease((t - t0) / (catchAt - t0));
            blendArm(p, q, Side::Left, w);
            blendArm(p, q, Side::Right, w);
        } else if (t <= release) {
            p = hanging(t);
        } else {
            p = air.at(t);
        }
        const sm::Mat4 root = sm::identityMatrix();
        if (t > land - 0.2f) feet.apply(p, root, t);
        // Hands on the pipe, palms forward over it; after letting go the
        // arms leave it as they held it.
        if (t >= catchAt && t <= release) {
            armsOnPipe(p, root);
        } else if (t > release && t < land) {
            // From overhead down to reaching forward for the landing (not
            // straight to the sides: the arms swing the short way round).
            float w = 1.0f - ease((t - release) / 0.3f);
            armAngles(p, Side::Left, 80.0f, 25.0f, 20.0f);
            armAngles(p, Side::Right, 80.0f, 25.0f, 20.0f);
            blendArm(p, atRelease, Side::Left, w);
            blendArm(p, atRelease, Side::Right, w);
        }
        // In the air after letting go: arms forward for the landing, then
        // thrown up on it.
        float reachOut = window(t, land - 0.01f, land, land, land + 0.15f);
        if (reachOut > 0.0f) {
            Pose q = p;
            armAngles(q, Side::Left, 80.0f, 25.0f, 20.0f);
            armAngles(q, Side::Right, 80.0f, 25.0f, 20.0f);
            blendArm(p, q, Side::Left, reachOut);
            blendArm(p, q, Side::Right, reachOut);
        }
        taDa(p, window(t, land + 0.1f, 175.98f, 176.2f, runFrom));
        if (t > runFrom) p = blend(p, runInto(next, heading, runFrom, t1, t), ease((t - runFrom) / 0.35f));
        lookAt(p, root, look.at(t));
        p.eyes = blink(t) + 0.25f * window(t, land, 175.9f, 176.2f, 176.5f);
        return p;
    };
    writeSkeletonClip(out, "branch", t0, t1, 30.0f, pose);
}

void writeJumpClip(ClipFiles& out)
{
    const float t0 = 190.0f, t1 = 196.0f;
    const PathInfo& in = pathInfo("run021");
    const float heading = 90.0f;  // east
    const sm::Vec3 fwd = headingDir(heading), l = headingDir(heading + 90.0f);
    const float takeOff = 190.3f, land = 190.86f;
    const sm::Vec3 crate{L::kCrateRowX, L::kCrateSize, in.end.z};
    const sm::Vec3 landAt{L::kCrateRowX + 190.0f, 0.0f, in.end.z};
    // Then a brisk walk south to face the platform.
    const sm::Vec3 ready{1700.0f, 0.0f, 560.0f};
    const float readyYaw = -28.0f;

    Footwork feet;
    feet.plant(Side::Left, land, 191.9f, ankleOver(landAt + l * 10.0f), heading - 6.0f);
    feet.plant(Side::Right, land + 0.04f, 191.75f, ankleOver(landAt - l * 10.0f + fwd * 14.0f), heading + 6.0f);
    // Turning back to look at the crates, then away to the platform.
    feet.plant(Side::Right, 191.95f, 193.35f, ankleOver(landAt - l * 12.0f - fwd * 8.0f), 200.0f);
    feet.plant(Side::Left, 192.05f, 193.55f, ankleOver(landAt + l * 14.0f + fwd * 12.0f), 215.0f);
    {
        // Steps to the platform's corner; the last two bring the feet
        // together there.
        const sm::Vec3 from = landAt, to = ready;
        for (int i = 1; i <= 6; ++i) {
            float u = std::min(1.0f, static_cast<float>(i) / 5.0f);
            sm::Vec3 at = from + (to - from) * u;
            float yaw = i < 5 ? 2.0f : readyYaw;
            Side s = i % 2 ? Side::Right : Side::Left;
            float side = s == Side::Left ? 1.0f : -1.0f;
            float ta = 193.35f + 0.36f * static_cast<float>(i);
            sm::Vec3 across = headingDir(yaw + 90.0f);
            feet.plant(s, ta, i >= 5 ? t1 : ta + 0.2f, ankleOver(at + across * (9.0f * side)), yaw);
        }
    }

    PoseTimeline keys;
    keys.key(takeOff, runOn(in, heading, t0, takeOff));
    {
        Pose p = body(crate + sm::Vec3{0, 118, 0} - fwd * 20.0f, heading, 22, 0, 0, 10);
        legAngles(p, Side::Left, 95.0f, 10.0f, 120.0f);
        legAngles(p, Side::Right, 85.0f, 10.0f, 110.0f);
        armAngles(p, Side::Left, 110.0f, 30.0f, 25.0f);
        armAngles(p, Side::Right, 110.0f, 30.0f, 25.0f);
        keys.key(190.55f, p);
    }
    keys.key(land, body(landAt + sm::Vec3{0, 74, 0} + fwd * 8.0f, heading, 34, 0, 0, 16));
    keys.key(191.2f, body(landAt + sm::Vec3{0, 99, 0}, heading, -5, 0, 0, -2));
    keys.key(191.45f, body(landAt + sm::Vec3{0, 95, 0}, heading, 2));
    keys.key(192.2f, body(landAt + sm::Vec3{0, 94, 0} - fwd * 2.0f, 205.0f, 4, -20));
    keys.key(193.2f, body(landAt + sm::Vec3{0, 95, 0}, 210.0f, 0));
    for (int i = 1; i <= 5; ++i) {
        float u = static_cast<float>(i) / 5.0f, ta = 193.35f + 0.36f * static_cast<float>(i) - 0.1f;
        sm::Vec3 at = landAt + (ready - landAt) * u;
        keys.key(ta, body(at + sm::Vec3{0, i % 2 ? 93.0f : 96.0f, 0}, i < 5 ? 2.0f : readyYaw, 6));
    }
    keys.key(195.6f, body(ready + sm::Vec3{0, 95, 0}, readyYaw, 2));
    keys.key(t1, body(ready + sm::Vec3{0, 90, 0}, readyYaw, 14, 0, 0, 8));

    LookTrack look;
    look.key(t0, crate + sm::Vec3{0, 40, 0});
    look.key(190.5f, landAt + fwd * 200.0f + sm::Vec3{0, 50, 0});
    look.key(191.3f, landAt + fwd * 300.0f + sm::Vec3{0, 150, 0});
    look.key(192.1f, crate + sm::Vec3{0, 60, 0});
    look.key(193.0f, crate + sm::Vec3{-200, 60, 0});
    look.key(193.5f, L::kPlatformCentre + sm::Vec3{0, 140, 0});
    look.key(t1, L::kPlatformCentre + sm::Vec3{100, 160, 0});

    auto pose = [&](float t) {
        Pose p = t <= takeOff ? runOn(in, heading, t0, t) : keys.at(t);
        const sm::Mat4 root = sm::identityMatrix();
        if (t > land - 0.15f) feet.apply(p, root, t, 0.5f);
        // Arms: swung up for the leap, out for the landing, a fist pumped,
        // hands dusted off, then swinging as he walks.
        float pump = window(t, 191.6f, 191.85f, 192.25f, 192.5f);
        if (pump > 0.0f) {
            Pose q = p;
            armAngles(q, Side::Right, 60.0f + 40.0f * std::sin(t * 14.0f), 40.0f, 110.0f);
            curl(q, Side::Right, 1.0f);
            blendArm(p, q, Side::Right, pump);
        }
        float dust = window(t, 192.6f, 192.8f, 193.2f, 193.4f);
        if (dust > 0.0f) {
            Frames fr = forward(p, root);
            sm::Vec3 front = sm::transformPoint(fr[rig::kChest], {0, 0, 30});
            sm::Vec3 across = normalized(sm::transformPoint(fr[rig::kChest], {1, 0, 0}) - origin(fr[rig::kChest]));
            sm::Vec3 upv = normalized(sm::transformPoint(fr[rig::kChest], {0, 1, 0}) - origin(fr[rig::kChest]));
            float rub = 4.0f * std::sin(t * 30.0f);
            Pose q = p;
            reachGrip(q, root, Side::Left, front + across * (3.0f + rub) - upv * 10.0f, handRotation(-across, upv), across - upv);
            reachGrip(q, root, Side::Right, front - across * (3.0f - rub) - upv * 10.0f, handRotation(across, upv), -across - upv);
            blendArm(p, q, Side::Left, dust);
            blendArm(p, q, Side::Right, dust);
        }
        float walk = window(t, 193.4f, 193.7f, 195.4f, 195.7f);
        if (walk > 0.0f) {
            float sw = std::sin((t - 193.35f) / 0.36f * 3.14159265f);
            Pose q = p;
            armAngles(q, Side::Left, 25.0f * sw, 12.0f, 40.0f);
            armAngles(q, Side::Right, -25.0f * sw, 12.0f, 40.0f);
            blendArm(p, q, Side::Left, walk);
            blendArm(p, q, Side::Right, walk);
        }
        taDa(p, window(t, land + 0.15f, 191.15f, 191.4f, 191.6f));
        lookAt(p, root, look.at(t));
        p.eyes = blink(t) + 0.25f * window(t, 191.5f, 191.7f, 192.3f, 192.6f);
        return p;
    };
    writeSkeletonClip(out, "jump", t0, t1, 30.0f, pose);
}

void writeFlipClip(ClipFiles& out)
{
    const float t0 = 196.0f, t1 = 202.0f;
    const PathInfo& next = pathInfo("run03");
    const float top = L::kPlatformSize.y;
    const float east = L::kPlatformCentre.x + L::kPlatformSize.x * 0.5f;
    const float west = L::kPlatformCentre.x - L::kPlatformSize.x * 0.5f;
    const float z = L::kPlatformCentre.z;
    const sm::Vec3 ready{1700.0f, 0.0f, 560.0f};
    const float readyYaw = -28.0f, heading = 270.0f;
    const sm::Vec3 fwd = headingDir(heading);
    const float runFrom = 201.45f;
    const sm::Vec3 landAt = runIntoFrom(next, heading, runFrom, t1);
    const float hop = 196.75f, onTop = 197.2f, jump = 198.6f, land = 199.25f;

    Footwork feet;
    feet.plant(Side::Left, t0, 196.05f, ankleOver(ready + headingDir(readyYaw + 90.0f) * 9.0f), readyYaw);
    feet.plant(Side::Right, t0, 196.15f, ankleOver(ready - headingDir(readyYaw + 90.0f) * 9.0f), readyYaw);
    // Three quick steps to the platform's side and the hop up with both feet.
    const sm::Vec3 foot{east + 35.0f, 0.0f, z - 30.0f};
    feet.plant(Side::Left, 196.28f, 196.36f, ankleOver(ready + (foot - ready) * 0.4f + sm::Vec3{6, 0, 0}), readyYaw);
    feet.plant(Side::Right, 196.45f, 196.53f, ankleOver(ready + (foot - ready) * 0.75f + sm::Vec3{-6, 0, 0}), readyYaw - 10.0f);
    feet.plant(Side::Left, 196.57f, 196.75f, ankleOver(foot + sm::Vec3{6, 0, 8}), readyYaw - 20.0f);
    feet.plant(Side::Right, 196.64f, 196.75f, ankleOver(foot + sm::Vec3{-4, 0, -8}), readyYaw - 20.0f);
    // On top, across to the west edge.
    const sm::Vec3 up{east - 50.0f, top, z};
    feet.plant(Side::Left, onTop, 197.65f, ankleOver(up + sm::Vec3{0, 0, 10}), 250.0f);
    feet.plant(Side::Right, onTop + 0.03f, 197.8f, ankleOver(up + sm::Vec3{5, 0, -10}), 250.0f);
    const float edge = west + 22.0f;
    for (int i = 1; i <= 4; ++i) {
        float u = static_cast<float>(i) / 4.0f;
        sm::Vec3 at{up.x + (edge - up.x) * u, top, z};
        Side s = i % 2 ? Side::Left : Side::Right;
        float side = s == Side::Left ? 1.0f : -1.0f;
        float ta = 197.65f + 0.2f * static_cast<float>(i);
        feet.plant(s, ta, i >= 3 ? jump : ta + 0.1f, ankleOver(at + sm::Vec3{0, 0, 9.0f * side}), heading);
    }
    feet.plant(Side::Left, land, runFrom + 0.05f, ankleOver(landAt + sm::Vec3{0, 0, 10} + fwd * 6.0f), heading - 6.0f);
    feet.plant(Side::Right, land + 0.04f, runFrom + 0.05f, ankleOver(landAt + sm::Vec3{0, 0, -10}), heading + 6.0f);

    PoseTimeline keys;
    keys.key(t0, body(ready + sm::Vec3{0, 90, 0}, readyYaw, 14, 0, 0, 8));
    keys.key(196.15f, body(ready + sm::Vec3{0, 92, 0} + (foot - ready) * 0.15f, readyYaw, 16, 0, 0, 8));
    keys.key(196.45f, body(ready + sm::Vec3{0, 90, 0} + (foot - ready) * 0.65f, readyYaw - 8.0f, 14, 0, 0, 8));
    keys.key(196.62f, body(foot + sm::Vec3{0, 86, 0} + headingDir(readyYaw) * -12.0f, readyYaw - 15.0f, 16, 0, 0, 10));
    keys.key(hop, body(foot + sm::Vec3{0, 76, 0}, readyYaw - 30.0f, 30, 0, 0, 18));  // gathering for the hop
    {
        Pose p = body(sm::Vec3{east - 10.0f, top + 60.0f, z - 10.0f} + sm::Vec3{0, 60, 0}, 250.0f, 20, 0, 0, 10);
        legAngles(p, Side::Left, 80.0f, 8.0f, 100.0f);
        legAngles(p, Side::Right, 70.0f, 8.0f, 90.0f);
        keys.key(197.05f, p);
    }
    keys.key(onTop, body(up + sm::Vec3{0, 78, 0}, 255.0f, 30, 0, 0, 14));
    keys.key(197.55f, body(up + sm::Vec3{0, 95, 0}, 265.0f, 2));
    for (int i = 1; i <= 4; ++i) {
        float u = static_cast<float>(i) / 4.0f;
        keys.key(197.6f + 0.2f * static_cast<float>(i), body({up.x + (edge - up.x) * u - 10.0f, top + (i % 2 ? 93.0f : 96.0f), z},
                                                              heading, 6));
    }
    keys.key(198.5f, body({edge - 4.0f, top + 78.0f, z}, heading, 32, 0, 0, 20));  // crouch, arms back ...
    // ... the flip: a full turn forwards, tucked, over the floor below.
    const sm::Vec3 takeOff{edge - 10.0f, top + 90.0f, z};
    const sm::Vec3 down = landAt + sm::Vec3{0, 76, 0};
    for (int i = 0; i <= 8; ++i) {
        float u = static_cast<float>(i) / 8.0f;
        float t = jump + (land - jump) * u;
        sm::Vec3 hip = takeOff + (down - takeOff) * u;
        hip.y = takeOff.y + (down.y - takeOff.y) * u + 95.0f * std::sin(3.14159265f * u);
        float tuck = std::sin(3.14159265f * u);
        Pose p = standing(hip, heading);
        // Round by the time the feet reach for the floor.
        float v = std::min(1.0f, u / 0.88f);
        float turn = 20.0f + 340.0f * (0.5f * v + 0.5f * ease(v)) + 10.0f * std::max(0.0f, u - 0.88f) / 0.12f;
        p.turn[rig::kHip] = axisAngle({0, 1, 0}, heading) * axisAngle({1, 0, 0}, turn);
        legAngles(p, Side::Left, 30.0f + 90.0f * tuck, 8.0f, 45.0f + 85.0f * tuck - 25.0f * u);
        legAngles(p, Side::Right, 30.0f + 90.0f * tuck, 8.0f, 45.0f + 85.0f * tuck - 25.0f * u);
        armAngles(p, Side::Left, 40.0f + 40.0f * tuck, 20.0f, 60.0f + 50.0f * tuck);
        armAngles(p, Side::Right, 40.0f + 40.0f * tuck, 20.0f, 60.0f + 50.0f * tuck);
        bend(p, 10.0f + 30.0f * tuck);
        if (i == 8) {
            // Down on both feet, arms out in front for balance.
            p = body(down, heading, 34, 0, 0, 18);
            armAngles(p, Side::Left, 55.0f, 28.0f, 50.0f);
            armAngles(p, Side::Right, 55.0f, 28.0f, 50.0f);
        }
        keys.key(t, p);
    }
    keys.key(199.6f, body(landAt + sm::Vec3{0, 100, 0}, heading, -8, 0, 0, -3));  // up, past upright ...
    keys.key(199.9f, body(landAt + sm::Vec3{0, 95, 0}, heading, 0));               // ... settled
    keys.key(200.6f, body(landAt + sm::Vec3{0, 96, 0}, heading - 25.0f, -6, 0, 0, -2));  // a bow to the hall
    keys.key(201.0f, body(landAt + sm::Vec3{0, 88, 0}, heading - 25.0f, 40, 0, 0, 20));
    keys.key(runFrom, body(landAt + sm::Vec3{0, 92, 0}, heading, 12, 0, 0, 6));

    LookTrack look;
    look.key(t0, sm::Vec3{east, top + 40.0f, z});
    look.key(197.15f, sm::Vec3{west, top + 60.0f, z});
    look.key(198.45f, sm::Vec3{west - 300.0f, 40.0f, z});
    look.key(199.35f, landAt + fwd * 300.0f + sm::Vec3{0, 100, 0});
    look.key(200.0f, landAt + fwd * 300.0f + sm::Vec3{0, 250, 0});
    look.key(200.7f, landAt + headingDir(heading - 25.0f) * 300.0f + sm::Vec3{0, 100, 0});
    look.key(201.0f, landAt + headingDir(heading - 25.0f) * 100.0f);
    look.key(t1, next.start + fwd * 400.0f + sm::Vec3{0, 120, 0});

    auto pose = [&](float t) {
        Pose p = keys.at(t);
        const sm::Mat4 root = sm::identityMatrix();
        feet.apply(p, root, t, 0.45f, 0.2f);
        // Arms: swinging back before the hop and the flip, hands on the
        // platform's edge as he comes up, thrown up after the landing.
        float back = window(t, 196.5f, 196.7f, 196.78f, 197.05f) + window(t, 198.2f, 198.4f, 198.48f, 198.75f);
        if (back > 0.0f) {
            Pose q = p;
            armAngles(q, Side::Left, -45.0f, 15.0f, 20.0f);
            armAngles(q, Side::Right, -45.0f, 15.0f, 20.0f);
            blendArm(p, q, Side::Left, back);
            blendArm(p, q, Side::Right, back);
        }
        float edgeHands = window(t, 197.0f, 197.1f, 197.2f, 197.4f);
        if (edgeHands > 0.0f) {
            Pose q = p;
            for (Side s : {Side::Left, Side::Right}) {
                float side = s == Side::Left ? 1.0f : -1.0f;
                sm::Vec3 at{east - 12.0f, top + 2.0f, z + 16.0f * side};
                reachGrip(q, root, s, at, palmDown(s, {-1, 0, 0}), sm::Vec3{0, 0, side} + sm::Vec3{0, -0.3f, 0});
            }
            blendArm(p, q, Side::Left, edgeHands);
            blendArm(p, q, Side::Right, edgeHands);
        }
        taDa(p, window(t, land + 0.15f, 199.6f, 200.25f, 200.55f));
        float walkArms = window(t, 197.55f, 197.7f, 198.15f, 198.25f);
        if (walkArms > 0.0f) {
            float sw = std::sin((t - 197.65f) / 0.2f * 3.14159265f);
            Pose q = p;
            armAngles(q, Side::Left, -30.0f * sw, 12.0f, 70.0f);
            armAngles(q, Side::Right, 30.0f * sw, 12.0f, 70.0f);
            blendArm(p, q, Side::Left, walkArms);
            blendArm(p, q, Side::Right, walkArms);
        }
        if (t > runFrom) p = blend(p, runInto(next, heading, runFrom, t1, t), ease((t - runFrom) / 0.35f));
        // Looking ahead, except through the flip (the head goes round with him).
        float flight = window(t, jump - 0.1f, jump + 0.05f, land - 0.12f, land + 0.05f);
        Pose looked = p;
        lookAt(looked, root, look.at(t), 0.45f);
        for (int b : {rig::kNeck, rig::kHead})
            p.turn[static_cast<std::size_t>(b)] = slerp(looked.turn[static_cast<std::size_t>(b)],
                                                        axisAngle({1, 0, 0}, b == rig::kNeck ? 20.0f : 10.0f), flight);
        p.eyes = blink(t) + 0.25f * window(t, 199.55f, 199.75f, 200.2f, 200.5f);
        return p;
    };
    writeSkeletonClip(out, "flip", t0, t1, 30.0f, pose);
}

} // namespace

void writeStuntClips(ClipFiles& out)
{
    writeBranchClip(out);
    writeJumpClip(out);
    writeFlipClip(out);
}

} // namespace world
