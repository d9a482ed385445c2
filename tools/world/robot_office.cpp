#include "tools/world/robot_office.h"

#include "tools/model/vec_ops.h"
#include "tools/world/keys.h"

#include <algorithm>
#include <cmath>

namespace world::office {

using model::normalized;
using model::operator-;

ChairState atDesk(float swivel, float tilt) { return at(L::kChairAtDesk, swivel, tilt); }

ChairState at(sm::Vec3 floor, float swivel, float tilt)
{
    ChairState c;
    c.at = floor;
    c.yaw = 180.0f;
    c.swivel = swivel;
    c.tilt = tilt;
    return c;
}

sm::Vec3 facing(const sm::Mat4& seat) { return normalized({seat.a[8], 0.0f, seat.a[10]}); }
sm::Vec3 leftOf(const sm::Mat4& seat) { return normalized({seat.a[0], 0.0f, seat.a[2]}); }

Pose sit(float lean, float twist, float tip, float slide)
{
    Pose p = seated();
    bend(p, lean, twist, tip);
    p.hip.z += slide;
    return p;
}

void feetDown(Pose& p, const ChairState& chair, const sm::Mat4& seat, float forward, float apart, float liftL,
              float liftR)
{
    (void)chair;
    sm::Vec3 f = facing(seat), l = leftOf(seat);
    sm::Vec3 centre = origin(seat);
    centre.y = 0.0f;
    for (Side s : {Side::Left, Side::Right}) {
        float side = s == Side::Left ? 1.0f : -1.0f;
        float lift = s == Side::Left ? liftL : liftR;
        sm::Vec3 ankle = centre + f * forward + l * (side * apart) + sm::Vec3{0, rig::kAnkleHeight + lift, 0};
        placeAnkle(p, seat, s, ankle, footRotation(f + l * (side * 0.12f), lift * 1.5f), f + sm::Vec3{0, 0.4f, 0});
    }
}

void handOnThigh(Pose& p, const sm::Mat4& seat, Side side)
{
    Frames fr = forward(p, seat);
    const bool left = side == Side::Left;
    const sm::Mat4& thigh = fr[left ? rig::kThighL : rig::kThighR];
    sm::Vec3 top = sm::transformPoint(thigh, {0.0f, -27.0f, 7.5f});
    sm::Vec3 f = facing(seat), l = leftOf(seat);
    sm::Vec3 fingers = normalized(f + l * (left ? -0.35f : 0.35f) + sm::Vec3{0, -0.25f, 0});
    sm::Quat hand = palmDown(side, fingers);
    sm::Vec3 wrist = top + sm::Vec3{0, 2.8f, 0} - fingers * 5.5f;
    reachWrist(p, seat, side, wrist, hand, l * (left ? 1.0f : -1.0f) - f * 0.5f);
    curl(p, side, 0.3f);
}


void handOnDesk(Pose& p, const sm::Mat4& seat, Side side, sm::Vec3 point, sm::Vec3 fingers, float lift)
{
    fingers = normalized(fingers);
    sm::Vec3 wrist = point + sm::Vec3{0, 2.8f + lift, 0} - fingers * 5.5f;
    sm::Vec3 l = leftOf(seat), f = facing(seat);
    reachWrist(p, seat, side, wrist, palmDown(side, fingers),
               l * (side == Side::Left ? 1.0f : -1.0f) - f * 0.3f + sm::Vec3{0, -0.6f, 0});
}

void handOnArmrest(Pose& p, const sm::Mat4& seat, Side side)
{
    const float s = side == Side::Left ? 1.0f : -1.0f;
    sm::Vec3 f = facing(seat), l = leftOf(seat);
    sm::Vec3 rest = sm::transformPoint(seat, {s * 24.0f, 17.5f, 10.0f});
    handOnDesk(p, seat, side, rest, f - l * (0.15f * s));
    curl(p, side, 0.55f);
}

void handsBehindHead(Pose& p, const sm::Mat4& seat, float weight)
{
    if (weight <= 0.0f) return;
    Frames fr = forward(p, seat);
    const sm::Mat4& head = fr[rig::kHead];
    auto axis = [&](int k) { return normalized({head.a[k * 4], head.a[k * 4 + 1], head.a[k * 4 + 2]}); };
    const sm::Vec3 hx = axis(0), hy = axis(1), hz = axis(2);
    Pose r = p;
    for (Side s : {Side::Left, Side::Right}) {
        float side = s == Side::Left ? 1.0f : -1.0f;
        sm::Vec3 at = sm::transformPoint(head, {side * 11.0f, 13.0f, -15.0f});
        reachGrip(r, seat, s, at, handRotation(normalized(-hx * side - hz * 0.4f), -hy), hx * side + hy * 0.9f - hz * 0.3f);
        curl(r, s, 0.35f);
    }
    blendArm(p, r, Side::Left, weight);
    blendArm(p, r, Side::Right, weight);
}

void HandTrack::key(float t, sm::Vec3 grip, sm::Quat turn, float weight, float closed)
{
    sm::normalize(turn);
    if (!curve_.empty() && turn.w * last_.w + turn.x * last_.x + turn.y * last_.y + turn.z * last_.z < 0.0f)
        turn = {-turn.w, -turn.x, -turn.y, -turn.z};
    last_ = turn;
    curve_.key(t, {grip.x, grip.y, grip.z, turn.w, turn.x, turn.y, turn.z, weight, closed});
}

void HandTrack::apply(Pose& p, const sm::Mat4& seat, Side side, float t, sm::Vec3 elbow) const
{
    if (!covers(t)) return;
    std::vector<float> v = curve_.at(t);
    float weight = std::clamp(v[7], 0.0f, 1.0f);
    if (weight <= 0.0f) return;
    sm::Quat q{v[3], v[4], v[5], v[6]};
    Pose reached = p;
    float miss = reachGrip(reached, seat, side, {v[0], v[1], v[2]}, sm::normalize(q), elbow);
    if (weight > 0.99f && miss > worstMiss_) worstMiss_ = miss, worstMissAt_ = t;
    curl(reached, side, v[8]);
    blendArm(p, reached, side, weight);
}

void checkReach(ClipFiles& out, const std::string& clip, const HandTrack& track, const char* what)
{
    if (track.worstMiss() > 0.5f)
        out.fail("animations/" + clip + ".ani: " + what + " falls " + std::to_string(track.worstMiss()) +
                 " short of its target at " + std::to_string(track.worstMissAt()) + " s");
}

void writingHands(Pose& p, const sm::Mat4& seat, float t, float left, float right)
{
    const sm::Vec3 paper = L::kPapers;
    sm::Vec3 f = facing(seat), l = leftOf(seat);
    if (left > 0.0f) {
        Pose q = p;
        handOnDesk(q, seat, Side::Left, paper + sm::Vec3{-22, 0, 4}, {0.3f, 0, -1});
        curl(q, Side::Left, 0.15f);
        blendArm(p, q, Side::Left, left);
    }
    // Small loops along a line, a new line every 2.4 seconds, the pen
    // lifted between.
    if (right > 0.0f) {
        float line = std::fmod(t, 2.4f) / 2.4f;
        int row = static_cast<int>(t / 2.4f) % 6;
        sm::Vec3 nib = paper + sm::Vec3{-8.0f + 16.0f * line, 0, -8.0f + 3.0f * static_cast<float>(row)};
        nib = nib + sm::Vec3{1.1f * std::sin(t * 15.0f), 0, 0.8f * std::cos(t * 15.0f)};
        nib.y += 1.8f * window(line, 0.88f, 0.93f, 0.97f, 1.0f);
        Pose q = p;
        sm::Vec3 fingers = normalized(f * 0.7f + l * 0.45f + sm::Vec3{0, -0.9f, 0});
        reachGrip(q, seat, Side::Right, nib + sm::Vec3{0, 3.5f, 0}, palmDown(Side::Right, fingers),
                  -l - f * 0.3f + sm::Vec3{0, -0.5f, 0});
        curl(q, Side::Right, 0.7f);
        blendArm(p, q, Side::Right, right);
    }
}

void writting(ClipFiles& out)
{
    const sm::Vec3 paper = L::kPapers;
    const sm::Vec3 fan = L::kFanHub;
    ChairTimeline chair;
    chair.key(0.0f, atDesk());
    chair.key(10.6f, atDesk());
    chair.key(11.3f, atDesk(40.0f));
    chair.key(11.6f, atDesk(35.0f));
    chair.key(13.9f, atDesk(35.0f));
    chair.key(14.6f, atDesk(-4.0f));
    chair.key(15.0f, atDesk(0.0f));
    chair.key(24.0f, atDesk());

    LookTrack look;
    look.key(0.0f, paper);
    look.key(10.4f, paper + sm::Vec3{10, 0, 0});
    look.key(11.1f, fan + sm::Vec3{60, -90, 0});
    look.key(11.5f, fan);
    look.key(12.7f, fan + sm::Vec3{0, 30, -40});
    look.key(13.8f, fan);
    look.key(14.5f, paper);
    look.key(17.5f, paper + sm::Vec3{8, 0, 0});
    look.key(18.2f, {-1560, 230, -1250});
    look.key(20.7f, {-1580, 240, -1250});
    look.key(21.4f, paper);
    look.key(24.0f, paper + sm::Vec3{-6, 0, 0});

    PoseTimeline body;
    body.key(0.0f, sit(24, 0, 0, 4));
    body.key(10.2f, sit(26, 0, 0, 4));
    body.key(10.6f, sit(16, 0, 0, 4));
    body.key(11.3f, sit(-6, 22, 0, 2));   // past where he ends up ...
    body.key(11.6f, sit(-3, 18, 0, 2));   // ... and settling
    body.key(13.9f, sit(-3, 16, 0, 2));
    body.key(14.6f, sit(20, -3, 0, 4));
    body.key(15.0f, sit(24, 0, 0, 4));
    body.key(17.4f, sit(24, 0, 0, 4));
    body.key(18.0f, sit(6, -4, -7, 2));
    body.key(20.9f, sit(8, -4, -6, 2));
    body.key(21.5f, sit(24, 0, 0, 4));
    body.key(24.0f, sit(24, 0, 0, 4));

    RidePose pose = [&](float t, const ChairState& c, const sm::Mat4& seat) {
        Pose p = body.at(t);
        feetDown(p, c, seat, 30.0f, 13.0f, 4.0f * window(t, 10.5f, 10.8f, 11.2f, 11.6f),
                 4.0f * window(t, 14.0f, 14.3f, 14.6f, 15.0f));
        lookAt(p, seat, look.at(t));
        sm::Vec3 f = facing(seat), l = leftOf(seat);
        // Resting arms, under whatever the hands are doing.
        Pose rest = p;
        handOnThigh(rest, seat, Side::Left);
        handOnThigh(rest, seat, Side::Right);
        blendArm(p, rest, Side::Left, 1.0f);
        blendArm(p, rest, Side::Right, 1.0f);
        float hold = window(t, -1.0f, 0.0f, 10.5f, 11.0f) + window(t, 14.5f, 15.2f, 30.0f, 31.0f);
        float write = window(t, -1.0f, 0.0f, 10.2f, 10.6f) + window(t, 14.8f, 15.3f, 17.3f, 17.8f) +
                      window(t, 21.3f, 21.9f, 30.0f, 31.0f);
        writingHands(p, seat, t, hold, write);
        // Scratching his head: the right hand on top of it, fingers working.
        float scratch = window(t, 17.6f, 18.3f, 20.5f, 21.2f);
        if (scratch > 0.0f) {
            Frames fr = forward(p, seat);
            const sm::Mat4& head = fr[rig::kHead];
            sm::Vec3 spot = sm::transformPoint(head, {-9.0f, 25.0f, -1.0f + 2.5f * std::sin(t * 24.0f)});
            sm::Vec3 centre = sm::transformPoint(head, {0, 12, 0});
            reachBlend(p, seat, Side::Right, spot, handRotation(centre - spot, f), -l + sm::Vec3{0, 0.6f, 0}, scratch, 6.0f);
            Pose q = p;
            curl(q, Side::Right, 0.45f + 0.15f * std::sin(t * 24.0f));
            blendArm(p, q, Side::Right, scratch);
        }
        p.eyes = blink(t);
        return p;
    };
    writeRidingClip(out, "writting", 0.0f, 24.0f, 15.0f, chair, pose);
}

} // namespace world::office

namespace world {

void writeOfficeClips(ClipFiles& out)
{
    office::writting(out);
    office::goToPosters(out);
    office::backToCigarette(out);
    office::whisky(out);
    office::cigarette(out);
    office::angry(out);
    office::porazenie(out);
}

} // namespace world
