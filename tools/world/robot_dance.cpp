// The dance on the stage under the crane's hand: he skids to a stop, looks
// up at the hand and points, then dances on the beat of the music (four
// beats to the bar), phrase after phrase of eight beats, until well after
// the end picture.
#include "tools/world/robot_clips.h"

#include "tools/model/vec_ops.h"
#include "tools/world/footwork.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/schedule.h"

#include <cmath>

namespace world {

using model::normalized;

namespace {

namespace L = layout;

constexpr float kBeat = kBar / 4.0f;
constexpr float kYaw = 0.0f;  // facing south, the doors behind him

enum class Move { Bounce, Robot, Disco, Spin, Wave, Roof, Greet };

struct Dancer {
    sm::Vec3 spot;  // the floor point he dances on
    PoseTimeline keys;
    Footwork feet;

    sm::Vec3 left() const { return headingDir(kYaw + 90.0f); }
    sm::Vec3 fwd() const { return headingDir(kYaw); }
    sm::Vec3 at(float side, float forward) const { return spot + left() * side + fwd() * forward; }
    // A standing key with the knees bent by `dip` and the hips turned.
    Pose stance(float dip, float yaw = 0.0f, float sway = 0.0f, float lean = 0.0f) const
    {
        Pose p = body(at(sway, 0.0f) + sm::Vec3{0, 94.0f - dip, 0}, kYaw + yaw, lean, -0.5f * yaw, -0.6f * sway);
        return p;
    }
    void plantBoth(float t0, float t1, float apart = 15.0f, float yawL = 0.0f, float yawR = 0.0f)
    {
        feet.plant(Side::Left, t0, t1, ankleOver(at(apart, 0)), kYaw + 8.0f + yawL);
        feet.plant(Side::Right, t0, t1, ankleOver(at(-apart, 0)), kYaw - 8.0f + yawR);
    }
};

void clap(Pose& p, float amount)
{
    // Forearms in front of the chest, hands meeting when amount is 1.
    armAngles(p, Side::Left, 55.0f, 28.0f - 20.0f * amount, 95.0f, -50.0f);
    armAngles(p, Side::Right, 55.0f, 28.0f - 20.0f * amount, 95.0f, -50.0f);
    curl(p, Side::Left, 0.1f);
    curl(p, Side::Right, 0.1f);
}

// One phrase of eight beats from t0.
void phrase(Dancer& d, Move move, float t0, int n)
{
    auto beat = [&](float b) { return t0 + kBeat * b; };
    switch (move) {
    case Move::Bounce: {
        // Step-touch side to side, a clap on every other beat.
        for (int k = 0; k < 8; ++k) {
            float side = k % 2 ? -1.0f : 1.0f;
            Pose down = d.stance(8.0f, 0.0f, 8.0f * side);
            clap(down, k % 2 ? 1.0f : 0.0f);
            down.turn[rig::kNeck] = axisAngle({1, 0, 0}, 12.0f);
            Pose up = d.stance(1.0f, 0.0f, 4.0f * side);
            clap(up, 0.3f);
            d.keys.key(beat(k), down);
            d.keys.key(beat(k + 0.5f), up);
            Side stepping = side > 0 ? Side::Left : Side::Right;
            Side resting = side > 0 ? Side::Right : Side::Left;
            d.feet.plant(stepping, beat(k + 0.25f), beat(k + 0.95f), ankleOver(d.at(side * 26.0f, 0)), kYaw + 8.0f * side);
            d.feet.plant(resting, beat(k + 0.45f), beat(k + 0.9f), ankleOver(d.at(side * 6.0f, 3.0f)), kYaw - 8.0f * side);
        }
        break;
    }
    case Move::Robot: {
        // Stiff, snapped poses, one a beat, the head ticking.
        d.plantBoth(beat(0), beat(8), 16.0f);
        const float arms[4][6] = {{90, 20, 90, 0, 60, 10}, {0, 90, 90, 90, 10, 90},
                                  {120, 10, 70, 40, 70, 0}, {45, 60, 100, 120, 15, 60}};
        for (int k = 0; k < 8; ++k) {
            const float* a = arms[(k + n) % 4];
            Pose p = d.stance(3.0f, k % 2 ? 18.0f : -18.0f);
            armAngles(p, Side::Left, a[0], a[1], a[2], 20.0f);
            armAngles(p, Side::Right, a[3], a[4], a[5], 20.0f);
            curl(p, Side::Left, 0.0f);
            curl(p, Side::Right, 0.0f);
            p.turn[rig::kHead] = eulerYXZ(k % 2 ? -25.0f : 25.0f, 0.0f, k % 2 ? 8.0f : -8.0f);
            d.keys.key(beat(k + 0.15f), p);
            d.keys.key(beat(k + 0.82f), p);
        }
        break;
    }
    case Move::Disco: {
        d.plantBoth(beat(0), beat(8), 18.0f);
        for (int k = 0; k < 8; ++k) {
            bool up = k % 2 == 0;
            Pose p = d.stance(up ? 2.0f : 7.0f, up ? -12.0f : 10.0f, up ? -6.0f : 6.0f);
            armAngles(p, Side::Right, up ? 150.0f : 40.0f, up ? 40.0f : -20.0f, 5.0f);
            curl(p, Side::Right, 0.85f);
            // The other hand on his hip.
            armAngles(p, Side::Left, -10.0f, 45.0f, 100.0f, -60.0f);
            curl(p, Side::Left, 0.6f);
            d.keys.key(beat(k + 0.15f), p);
            d.keys.key(beat(k + 0.85f), p);
        }
        break;
    }
    case Move::Spin: {
        // A turn on the spot in four quick steps, then a pose and a shimmy.
        for (int k = 0; k <= 4; ++k) {
            float yaw = -90.0f * static_cast<float>(k);
            Pose p = d.stance(4.0f, yaw);
            armAngles(p, Side::Left, 10.0f, 80.0f, 30.0f);
            armAngles(p, Side::Right, 10.0f, 80.0f, 30.0f);
            // (A beat's lead-in to open the arms first.)
            const float b = 0.6f + 0.5f * static_cast<float>(k);
            d.keys.key(beat(b), p);
            float yawFeet = kYaw + yaw;
            Side s = k % 2 ? Side::Left : Side::Right;
            sm::Vec3 side = headingDir(yawFeet + 90.0f) * (k % 2 ? 12.0f : -12.0f);
            d.feet.plant(s, beat(b), beat(b + 0.3f), ankleOver(d.spot + side), yawFeet);
        }
        d.plantBoth(beat(3.2f), beat(8), 17.0f);
        for (int k = 4; k < 8; ++k) {
            Pose p = d.stance(k % 2 ? 10.0f : 3.0f, 0.0f, 0.0f, -6.0f);
            armAngles(p, Side::Left, 30.0f, 120.0f, 15.0f);
            armAngles(p, Side::Right, 30.0f, 120.0f, 15.0f);
            curl(p, Side::Left, 0.0f);
            curl(p, Side::Right, 0.0f);
            shrug(p, k % 2 ? 10.0f : -4.0f);
            d.keys.key(beat(static_cast<float>(k)), p);
            Pose q = p;
            shrug(q, k % 2 ? -4.0f : 10.0f);
            d.keys.key(beat(k + 0.5f), q);
        }
        break;
    }
    case Move::Wave: {
        // A wave running along both arms, out from the left hand and back.
        d.plantBoth(beat(0), beat(8), 16.0f);
        for (int s = 0; s < 16; ++s) {
            float ph = static_cast<float>(s) / 16.0f * 2.0f * 3.14159265f;
            Pose p = d.stance(4.0f + 3.0f * std::sin(ph * 2.0f), 0.0f, 5.0f * std::sin(ph));
            auto lift = [&](float delay) { return 22.0f * std::sin(ph * 2.0f - delay); };
            armAngles(p, Side::Left, 0.0f, 88.0f + lift(0.0f), -lift(0.7f) * 2.0f);
            armAngles(p, Side::Right, 0.0f, 88.0f - lift(2.1f), lift(2.8f) * 2.0f);
            p.turn[rig::kHandL] = axisAngle({0, 0, 1}, lift(1.0f));
            p.turn[rig::kHandR] = axisAngle({0, 0, 1}, lift(3.0f));
            shrug(p, 0.3f * lift(1.4f));
            curl(p, Side::Left, 0.0f);
            curl(p, Side::Right, 0.0f);
            d.keys.key(beat(0.5f * static_cast<float>(s)), p);
        }
        break;
    }
    case Move::Roof: {
        // Palms pushing up on every beat, knees bouncing.
        d.plantBoth(beat(0), beat(8), 20.0f);
        for (int k = 0; k < 8; ++k) {
            Pose down = d.stance(12.0f, 0.0f, 0.0f, 8.0f);
            armAngles(down, Side::Left, 60.0f, 70.0f, 110.0f, -80.0f);
            armAngles(down, Side::Right, 60.0f, 70.0f, 110.0f, -80.0f);
            down.turn[rig::kNeck] = axisAngle({1, 0, 0}, 15.0f);
            Pose up = d.stance(2.0f, 0.0f, 0.0f, -8.0f);
            armAngles(up, Side::Left, 20.0f, 150.0f, 30.0f, -80.0f);
            armAngles(up, Side::Right, 20.0f, 150.0f, 30.0f, -80.0f);
            up.turn[rig::kNeck] = axisAngle({1, 0, 0}, -15.0f);
            for (Pose* p : {&down, &up}) {
                curl(*p, Side::Left, 0.0f);
                curl(*p, Side::Right, 0.0f);
            }
            d.keys.key(beat(k), down);
            d.keys.key(beat(k + 0.45f), up);
        }
        break;
    }
    case Move::Greet: {
        // Waving up at the hand overhead, stepping on the spot.
        for (int k = 0; k < 8; ++k) {
            Pose p = d.stance(k % 2 ? 6.0f : 2.0f, 0.0f, k % 2 ? -5.0f : 5.0f, -8.0f);
            armAngles(p, Side::Right, 25.0f, 155.0f + (k % 2 ? -18.0f : 18.0f), 25.0f);
            armAngles(p, Side::Left, -10.0f, 45.0f, 100.0f, -60.0f);
            curl(p, Side::Right, 0.0f);
            curl(p, Side::Left, 0.6f);
            p.turn[rig::kNeck] = axisAngle({1, 0, 0}, -25.0f);
            p.turn[rig::kHead] = axisAngle({1, 0, 0}, -15.0f);
            d.keys.key(beat(k + 0.5f), p);
            Side s = k % 2 ? Side::Left : Side::Right;
            float side = s == Side::Left ? 1.0f : -1.0f;
            d.feet.plant(s, beat(k + 0.3f), beat(k + 1.1f), ankleOver(d.at(16.0f * side, 0)), kYaw + 8.0f * side);
        }
        break;
    }
    }
}

} // namespace

void writeDanceClip(ClipFiles& out)
{
    const float t0 = 215.0f, t1 = 262.0f;
    const PathInfo& in = pathInfo("run03");
    const float heading = kYaw;
    // Skidding to a stop from his pace over `brake` seconds.
    const float brake = 0.42f;
    const float skid = 0.5f * in.pace * brake;
    Dancer d;
    d.spot = in.end + headingDir(heading) * skid;
    d.spot.y = 0.0f;
    // The skid: feet braced wide, leaning back, arms out; over and back.
    d.feet.plant(Side::Left, 215.18f, 216.5f, ankleOver(d.at(16.0f, 14.0f)), kYaw + 10.0f);
    d.feet.plant(Side::Right, 215.28f, 216.5f, ankleOver(d.at(-15.0f, -4.0f)), kYaw - 10.0f);
    {
        Pose p = d.stance(16.0f, 0.0f, 0.0f, -16.0f);
        armAngles(p, Side::Left, 40.0f, 60.0f, 30.0f);
        armAngles(p, Side::Right, 40.0f, 60.0f, 30.0f);
        d.keys.key(215.3f, p);
    }
    d.keys.key(215.55f, d.stance(4.0f, 0.0f, 0.0f, 12.0f));  // past the stop ...
    d.keys.key(215.8f, d.stance(2.0f, 0.0f, 0.0f, -2.0f));   // ... and back
    {
        // Looking up at the hand, pointing at it.
        Pose p = d.stance(1.0f, -10.0f, 0.0f, -6.0f);
        armAngles(p, Side::Right, 160.0f, 25.0f, 5.0f);
        curl(p, Side::Right, 0.85f);
        d.keys.key(216.15f, p);
        d.keys.key(216.6f, p);
    }
    // Phrases from the first beat after that, each move in turn.
    const Move order[] = {Move::Bounce, Move::Robot, Move::Disco, Move::Spin, Move::Wave, Move::Roof, Move::Greet};
    float start = std::ceil(216.7f / kBeat) * kBeat;
    int n = 0;
    for (float t = start; t < t1; t += 8.0f * kBeat, ++n) phrase(d, order[n % 7], t, n);
    d.keys.hold(t1 + 1.0f);

    LookTrack look;
    look.key(t0, d.spot + headingDir(heading) * 300.0f + sm::Vec3{0, 120, 0});
    look.key(215.7f, d.spot + headingDir(heading) * 300.0f + sm::Vec3{0, 140, 0});
    look.key(216.2f, d.spot + sm::Vec3{0, 520, 120});
    look.key(216.8f, d.spot + sm::Vec3{0, 500, 160});
    look.key(217.6f, d.spot + headingDir(heading) * 500.0f + sm::Vec3{0, 200, 0});
    look.key(t1, d.spot + headingDir(heading) * 500.0f + sm::Vec3{0, 200, 0});

    auto pose = [&](float t) {
        Pose p;
        if (t <= 215.18f) {
            // Still running, slowing hard.
            float s = t - t0;
            float dist = in.pace * s - 0.5f * (in.pace / brake) * s * s;
            p = runPoseAt(in.end + headingDir(heading) * dist, heading, in.endPhase + dist / kRunCycleTravel);
            Pose k = d.keys.at(215.3f);
            p = blend(p, k, ease(s / 0.18f) * 0.5f);
        } else {
            p = d.keys.at(t);
        }
        const sm::Mat4 root = sm::identityMatrix();
        d.feet.apply(p, root, t, 1.2f, 0.15f);
        // Looking where the keys say, except in the moves that turn the head.
        Pose looked = p;
        lookAt(looked, root, look.at(t), 0.4f);
        float own = t > start ? 0.6f : 0.0f;
        for (int b : {rig::kNeck, rig::kHead})
            p.turn[static_cast<std::size_t>(b)] =
                slerp(looked.turn[static_cast<std::size_t>(b)],
                      looked.turn[static_cast<std::size_t>(b)] * p.turn[static_cast<std::size_t>(b)], own);
        p.eyes = blink(t) + 0.2f * window(t, 215.6f, 215.9f, 216.6f, 217.0f);
        return p;
    };
    writeSkeletonClip(out, "credits_dance", t0, t1, 30.0f, pose);
}

} // namespace world
