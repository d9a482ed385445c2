// Asleep, awake and cross, the desk banged twice, the frayed cable grabbed:
// the shock, and slumped in the dark.
#include "tools/world/robot_office.h"

#include "tools/model/vec_ops.h"
#include "tools/world/keys.h"
#include "tools/world/schedule.h"

#include <cmath>

namespace world::office {

using model::normalized;
using model::operator-;

namespace {

const sm::Vec3 kUp{0, 1, 0};


// Hands in the lap, asleep.
void inLap(Pose& p, const sm::Mat4& seat, float weight)
{
    if (weight <= 0.0f) return;
    Frames fr = forward(p, seat);
    sm::Vec3 f = facing(seat), l = leftOf(seat);
    Pose q = p;
    for (Side s : {Side::Left, Side::Right}) {
        float side = s == Side::Left ? 1.0f : -1.0f;
        sm::Vec3 lap = sm::transformPoint(fr[s == Side::Left ? rig::kThighL : rig::kThighR], {-side * 2.0f, -12.0f, 9.0f});
        reachGrip(q, seat, s, lap, handRotation(normalized(f - l * side * 0.6f), normalized(kUp + l * side * 0.5f)),
                  l * side + sm::Vec3{0, -0.5f, 0});
        curl(q, s, 0.3f);
    }
    blendArm(p, q, Side::Left, weight);
    blendArm(p, q, Side::Right, weight);
}

Pose gSlumped;
ChairState gShockChair;

} // namespace

Pose slumpedInWorld() { return gSlumped; }
ChairState shockChair() { return gShockChair; }

void angry(ClipFiles& out)
{
    const sm::Vec3 desk = L::kChairAtDesk, cable = L::kFrayedCable;
    ChairTimeline chair;
    chair.key(106.0f, atDesk(360.0f, 16.0f));
    chair.key(108.0f, atDesk(361.0f, 17.0f));
    chair.key(111.9f, atDesk(360.0f, 17.0f));
    chair.key(112.2f, atDesk(357.0f, 1.0f));   // jolted awake
    chair.key(112.5f, atDesk(359.0f, 3.0f));
    chair.key(113.3f, atDesk(360.0f, 2.0f));
    chair.key(113.9f, at(desk + sm::Vec3{0, 0, -3}, 360.0f, 0.0f));
    chair.key(114.1f, at(desk + sm::Vec3{0, 0, 1}, 360.0f, 0.0f));
    chair.key(114.7f, at(desk + sm::Vec3{0, 0, -2}, 360.0f, 0.0f));
    chair.key(114.9f, at(desk + sm::Vec3{0, 0, 2}, 360.0f, 0.0f));
    chair.key(116.5f, atDesk(360.0f, 3.0f));
    chair.key(117.4f, at(desk + sm::Vec3{4, 0, -6}, 356.0f, 0.0f));
    chair.key(118.9f, at(desk + sm::Vec3{6, 0, -8}, 352.0f, 0.0f));

    LookTrack look;
    look.key(106.0f, {-1700, 440, -1180});
    look.key(107.5f, {-1730, 300, -1050});
    look.key(111.9f, {-1740, 280, -1050});
    look.key(112.2f, {-1700, 170, -1250});
    look.key(112.7f, {-1950, 150, -1000});
    look.key(113.1f, {-1450, 150, -1050});
    look.key(113.5f, {-1700, 110, -1200});
    look.key(114.05f, {-1700, 76, -1120});
    look.key(115.0f, {-1700, 80, -1120});
    look.key(115.3f, {-1760, 90, -1150});
    look.key(115.6f, {-1640, 90, -1150});
    look.key(115.9f, {-1750, 90, -1150});
    look.key(116.4f, L::kDeskLamp + sm::Vec3{0, 40, 0});
    look.key(117.2f, cable);
    look.key(118.9f, cable);

    PoseTimeline body;
    body.key(106.0f, sit(-17, 0, 2, -3));
    body.key(107.8f, sit(-10, 0, 9, -2));
    for (int k = 0; k < 3; ++k) {
        // Breathing in his sleep.
        float t0 = 108.2f + 1.2f * static_cast<float>(k);
        body.key(t0, sit(-12, 0, 10, -2));
        body.key(t0 + 0.6f, sit(-8, 0, 8, -2));
    }
    body.key(111.8f, sit(-10, 0, 9, -2));
    body.key(112.15f, sit(8, 0, -2, 2));    // awake!
    body.key(112.45f, sit(-2, 0, 0, 1));
    body.key(113.2f, sit(2, 0, 0, 2));
    body.key(113.6f, sit(14, 0, 0, 4));
    body.key(113.85f, sit(2, 0, 0, 3));     // fists up ...
    body.key(114.05f, sit(32, 0, 0, 6));    // ... bang
    body.key(114.2f, sit(26, 0, 0, 6));
    body.key(114.5f, sit(4, 0, 0, 4));
    body.key(114.7f, sit(34, 0, 0, 6));     // bang
    body.key(114.9f, sit(28, 0, 0, 6));
    body.key(115.7f, sit(26, 0, 0, 5));
    body.key(116.4f, sit(4, 0, 0, 2));
    body.key(117.3f, sit(24, -8, 0, 5));
    body.key(118.3f, sit(34, -16, 0, 7));
    body.key(118.9f, sit(33, -15, 0, 7));

    // The right hand to the cable.
    sm::Vec3 grab = cable + sm::Vec3{0, 1.5f, 1.5f};
    sm::Quat turn = handRotation(normalized(sm::Vec3{-0.3f, -0.6f, -1}), sm::Vec3{-1, 0, 0});
    HandTrack hand;
    hand.key(117.2f, grab + sm::Vec3{10, 25, 40}, turn, 0.0f, 0.2f);
    hand.key(117.9f, grab + sm::Vec3{3, 10, 10}, turn, 1.0f, 0.0f);
    hand.key(118.3f, grab, turn, 1.0f, 0.2f);
    hand.key(118.55f, grab, turn, 1.0f, 0.8f);
    hand.key(118.9f, grab, turn, 1.0f, 0.8f);

    RidePose pose = [&](float t, const ChairState& c, const sm::Mat4& seat) {
        Pose p = body.at(t);
        float jump = 7.0f * window(t, 111.95f, 112.05f, 112.2f, 112.5f);
        feetDown(p, c, seat, 30.0f, 13.0f, jump, jump);
        lookAt(p, seat, look.at(t));
        sm::Vec3 f = facing(seat), l = leftOf(seat);
        Pose rest = p;
        handOnArmrest(rest, seat, Side::Left);
        handOnArmrest(rest, seat, Side::Right);
        blendArm(p, rest, Side::Left, 1.0f);
        blendArm(p, rest, Side::Right, 1.0f);
        handsBehindHead(p, seat, 1.0f - ease((t - 106.3f) / 1.4f));
        inLap(p, seat, window(t, 106.4f, 107.7f, 111.9f, 112.05f));
        // Thrown wide at the start.
        float start = window(t, 111.95f, 112.1f, 112.25f, 112.7f);
        if (start > 0.0f) {
            Pose q = p;
            armAngles(q, Side::Left, 35.0f, 55.0f, 70.0f);
            armAngles(q, Side::Right, 35.0f, 55.0f, 70.0f);
            curl(q, Side::Left, 0.0f);
            curl(q, Side::Right, 0.0f);
            blendArm(p, q, Side::Left, start);
            blendArm(p, q, Side::Right, start);
        }
        // Fists: raised and banged on the desk twice.
        float fists = window(t, 113.2f, 113.6f, 115.6f, 116.3f);
        if (fists > 0.0f) {
            float up = 0.0f;
            const float beats[][2] = {{kBangs[0] - 0.2f, kBangs[0]}, {kBangs[1] - 0.2f, kBangs[1]}};
            // Height of the fists over the desk: up at each wind-up, down on each blow.
            auto height = [&](float tt) {
                if (tt < beats[0][0]) return 14.0f + 24.0f * ease((tt - 113.3f) / 0.55f);
                if (tt < beats[0][1]) return 38.0f * (1.0f - easeIn((tt - beats[0][0]) / 0.2f));
                if (tt < beats[1][0]) return 40.0f * std::sin(3.14159265f * std::clamp((tt - beats[0][1]) / 0.5f, 0.0f, 1.0f) * 0.5f);
                if (tt < beats[1][1]) return 40.0f * (1.0f - easeIn((tt - beats[1][0]) / 0.2f));
                return 1.5f * std::fabs(std::sin((tt - beats[1][1]) * 9.0f)) * std::exp(-(tt - beats[1][1]) * 3.0f);
            };
            up = height(t);
            Pose q = p;
            for (Side s : {Side::Left, Side::Right}) {
                float side = s == Side::Left ? -1.0f : 1.0f;  // desk x runs to his right
                sm::Vec3 fist{desk.x + side * 16.0f, kTop + 3.5f + up, kEdgeZ - 14.0f - 0.3f * up};
                reachGrip(q, seat, s, fist, handRotation(normalized(sm::Vec3{-side * 0.5f, -0.2f, -1}), kUp),
                          -l * side - f * 0.3f + sm::Vec3{0, -0.4f, 0});
                curl(q, s, 1.0f);
            }
            blendArm(p, q, Side::Left, fists);
            blendArm(p, q, Side::Right, fists);
        }
        hand.apply(p, seat, Side::Right, t, -l - f * 0.4f + sm::Vec3{0, -0.5f, 0});
        float asleep = 1.0f - std::clamp((t - 111.98f) / 0.08f, 0.0f, 1.0f);
        float wide = window(t, 112.0f, 112.05f, 112.6f, 113.1f);
        float cross = window(t, 113.2f, 113.5f, 116.2f, 116.8f);
        p.eyes = 0.08f * asleep + (1.0f - asleep) * (blink(t) * (1.0f - 0.45f * cross) + 0.25f * wide);
        return p;
    };
    writeRidingClip(out, "angry", 106.0f, 118.9f, 15.0f, chair, pose);
    checkReach(out, "angry", hand, "the right hand");
}

void porazenie(ClipFiles& out)
{
    const sm::Vec3 desk = L::kChairAtDesk, cable = L::kFrayedCable;
    const float shock = 118.93f, flickerEnd = 131.06f, end = kFlyingChairShown;
    // How hard the current shakes him over the flicker.
    auto strength = [&](float t) {
        if (t < shock || t > flickerEnd) return 0.0f;
        float s = 1.0f;
        if (t > 121.5f) s = 0.55f + 0.35f * std::max(0.0f, wobble(t, 1.3f, 41));
        if (t > 126.0f) s = 0.9f;
        if (t > 129.5f) s = 0.9f - 0.6f * (t - 129.5f) / (flickerEnd - 129.5f);
        return s * std::clamp((t - shock) / 0.05f, 0.0f, 1.0f);
    };
    const sm::Vec3 base = desk + sm::Vec3{6, 0, -8};
    ChairTimeline chair;
    for (float t : evenTimes(118.9f, end, 12.0f)) {
        float s = strength(t);
        sm::Vec3 at = base + sm::Vec3{1.5f * s * noise1(static_cast<int>(t * 12), 3), 0, 1.5f * s * noise1(static_cast<int>(t * 12), 4)};
        float sw = 352.0f + 3.0f * s * noise1(static_cast<int>(t * 12), 5);
        float tilt = t > flickerEnd ? 4.0f : 3.0f * s * std::fabs(noise1(static_cast<int>(t * 12), 6));
        chair.key(t, office::at(at, sw, tilt));
    }

    sm::Vec3 grab = cable + sm::Vec3{0, 1.5f, 1.5f};
    sm::Quat turn = handRotation(normalized(sm::Vec3{-0.3f, -0.6f, -1}), sm::Vec3{-1, 0, 0});
    LookTrack look;
    look.key(118.9f, cable);
    look.key(131.0f, cable + sm::Vec3{0, 80, 0});
    look.key(131.5f, {-1690, 0, -1000});
    look.key(134.1f, {-1695, 0, -1005});

    PoseTimeline body;
    body.key(118.9f, sit(33, -15, 0, 7));
    body.key(119.1f, sit(-13, -6, 0, 3));   // the current throws him back, arched
    body.key(131.0f, sit(-10, 0, 0, 2));
    body.key(131.5f, sit(30, 8, 8, 5));     // and he folds up
    body.key(132.2f, sit(36, 10, 12, 6));
    body.key(end, sit(38, 10, 13, 6));

    RidePose pose = [&](float t, const ChairState& c, const sm::Mat4& seat) {
        Pose p = body.at(t);
        float s = strength(t);
        const float rate = 11.0f;
        auto jolt = [&](int seed, float amount) { return amount * s * wobble(t, rate, seed); };
        // Rigid, jerking: every joint pulled by the current.
        p.turn[rig::kSpine] = p.turn[rig::kSpine] * eulerYXZ(jolt(1, 11), jolt(2, 10), jolt(3, 9));
        p.turn[rig::kChest] = p.turn[rig::kChest] * eulerYXZ(jolt(4, 11), jolt(5, 9), jolt(6, 9));
        p.hip.y += 4.0f * s * std::fabs(wobble(t, rate, 7));
        float splay = t > flickerEnd ? ease((t - flickerEnd) / 0.6f) : 0.0f;
        feetDown(p, c, seat, 30.0f + 6.0f * splay + 4.0f * s * wobble(t, rate, 8), 13.0f + 9.0f * splay,
                 5.0f * s * std::fabs(wobble(t, rate, 9)), 5.0f * s * std::fabs(wobble(t, rate, 10)));
        lookAt(p, seat, look.at(t));
        p.turn[rig::kNeck] = p.turn[rig::kNeck] * eulerYXZ(jolt(11, 20), jolt(12, 18) - 28.0f * s, jolt(13, 14));
        p.turn[rig::kHead] = p.turn[rig::kHead] * eulerYXZ(jolt(14, 14), jolt(15, 10), jolt(16, 14));
        sm::Vec3 f = facing(seat), l = leftOf(seat);
        handOnArmrest(p, seat, Side::Left);
        // Arms: the right clamped on the cable until the current throws it
        // off; both flung out wide and up, jerking; hanging when it is over.
        Pose q = p;
        armAngles(q, Side::Left, 20.0f + jolt(17, 35), 100.0f + jolt(18, 30), 40.0f + jolt(19, 40));
        armAngles(q, Side::Right, 25.0f + jolt(20, 35), 90.0f + jolt(21, 30), 35.0f + jolt(22, 40));
        curl(q, Side::Left, -0.25f + 0.3f * std::fabs(wobble(t, rate, 23)));
        curl(q, Side::Right, -0.25f + 0.3f * std::fabs(wobble(t, rate, 24)));
        Pose slump = p;
        armAngles(slump, Side::Left, 6.0f, 12.0f, 12.0f);
        armAngles(slump, Side::Right, 8.0f, 14.0f, 10.0f);
        curl(slump, Side::Left, 0.2f);
        curl(slump, Side::Right, 0.2f);
        float dead = ease((t - flickerEnd) / 0.7f);
        blendArm(q, slump, Side::Left, dead);
        blendArm(q, slump, Side::Right, dead);
        blendArm(p, q, Side::Left, std::clamp((t - 118.92f) / 0.1f, 0.0f, 1.0f));
        blendArm(p, q, Side::Right, 1.0f);
        float held = t < 120.2f ? 1.0f : 1.0f - ease((t - 120.2f) / 0.15f);
        if (held > 0.0f) {
            Pose r = p;
            reachGrip(r, seat, Side::Right, grab + sm::Vec3{0.4f * jolt(25, 1), 0.4f * jolt(26, 1), 0}, turn,
                      -l - f * 0.4f + sm::Vec3{0, -0.5f, 0});
            curl(r, Side::Right, 0.8f);
            blendArm(p, r, Side::Right, held);
        }
        // Eyes flashing with the current, dim in the dark, coming back.
        float flash = wobble(t, 17.0f, 27) > 0.0f ? 1.25f : 0.25f;
        p.eyes = s > 0.0f ? flash : t > flickerEnd ? 0.08f + 0.3f * ease((t - 133.2f) / 0.8f) : blink(t);
        if (t >= end - 1e-4f) gSlumped = p, gShockChair = c;
        return p;
    };
    writeRidingClip(out, "porazenie", 118.9f, end, 30.0f, chair, pose);
    // The slumped pose in the world, where the throw starts.
    Frames fr = forward(gSlumped, seatFrame(gShockChair));
    gSlumped.hip = origin(fr[rig::kHip]);
    gSlumped.turn[rig::kHip] = rotationOf(fr[rig::kHip]);
}

} // namespace world::office
