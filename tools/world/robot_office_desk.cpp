// At the desk: a drink from the mug, then the e-cigarette and the long
// exhale leaning back.
#include "tools/world/robot_office.h"

#include "tools/model/vec_ops.h"
#include "tools/world/keys.h"

#include <cmath>

namespace world::office {

using model::normalized;
using model::operator-;

namespace {

const sm::Vec3 kUp{0, 1, 0};
// At the desk he faces north: his forward and his left in the world.
const sm::Vec3 kFwd{0, 0, -1}, kLeft{-1, 0, 0};

// A held thing brought to the mouth: the grip placed against the face with
// the hand turned as `turn` says (in the head's frame), by weight.
void toMouth(Pose& p, const sm::Mat4& seat, Side side, float weight, sm::Vec3 gripInHead,
             const std::function<sm::Quat(const sm::Mat4& head)>& turn, float closed, sm::Vec3 elbow)
{
    if (weight <= 0.0f) return;
    Frames fr = forward(p, seat);
    const sm::Mat4& head = fr[rig::kHead];
    Pose q = p;
    reachGrip(q, seat, side, sm::transformPoint(head, gripInHead), turn(head), elbow);
    curl(q, side, closed);
    blendArm(p, q, side, weight);
}

// Both hands folded on his belly, by weight.
void foldHandsOnBelly(Pose& p, const sm::Mat4& seat, float weight)
{
    if (weight <= 0.0f) return;
    const sm::Vec3 f = facing(seat), l = leftOf(seat);
    Frames fr = forward(p, seat);
    Pose q = p;
    for (Side s : {Side::Left, Side::Right}) {
        float side = s == Side::Left ? 1.0f : -1.0f;
        sm::Vec3 belly = sm::transformPoint(fr[rig::kSpine], {side * 4.0f, 2.0f, 19.0f});
        reachGrip(q, seat, s, belly, handRotation(normalized(-l * side + f * 0.2f), kUp),
                  l * side - f * 0.4f + sm::Vec3{0, -0.6f, 0});
        curl(q, s, 0.5f);
    }
    blendArm(p, q, Side::Left, weight);
    blendArm(p, q, Side::Right, weight);
}

sm::Vec3 axisOf(const sm::Mat4& m, int k) { return normalized({m.a[k * 4], m.a[k * 4 + 1], m.a[k * 4 + 2]}); }

sm::Quat mugGrip() { return handRotation(normalized(kFwd + kLeft * 0.35f), kUp); }
sm::Quat ecigGrip() { return handRotation(normalized(sm::Vec3{0, -1, 0} + kFwd * 0.35f), -kLeft); }

} // namespace

void whisky(ClipFiles& out)
{
    const sm::Vec3 desk = L::kChairAtDesk;
    const sm::Vec3 mug = L::kMugOnDesk + sm::Vec3{0, 5.0f, 0};  // the grip: halfway up the mug
    ChairTimeline chair;
    chair.key(56.0f, atDesk(360.0f));
    chair.key(56.9f, at(desk + sm::Vec3{0, 0, -2}, 360.0f));
    chair.key(57.6f, at(desk + sm::Vec3{2, 0, -10}, 358.0f));  // scooting in to reach
    chair.key(58.8f, at(desk + sm::Vec3{2, 0, -10}, 358.0f));
    chair.key(69.4f, at(desk + sm::Vec3{2, 0, -10}, 358.0f));
    chair.key(70.9f, at(desk + sm::Vec3{1, 0, -8}, 359.0f));
    chair.key(71.2f, atDesk(360.0f));
    chair.key(72.4f, atDesk(358.0f, 9.0f));
    chair.key(76.0f, atDesk(360.0f, 8.0f));

    LookTrack look;
    look.key(56.0f, L::kMugOnDesk);
    look.key(57.8f, L::kMugOnDesk);
    look.key(58.6f, mug + sm::Vec3{0, 35, 60});
    look.key(59.3f, {-1700, 220, -1250});
    look.key(61.2f, {-1700, 300, -1220});
    look.key(61.9f, {-1680, 106, -1095});
    look.key(64.0f, {-1677, 104, -1094});
    look.key(64.8f, {-1700, 230, -1250});
    look.key(67.3f, {-1700, 330, -1200});
    look.key(68.0f, {-1676, 104, -1092});
    look.key(70.2f, L::kMugOnDesk);
    look.key(71.0f, L::kMugOnDesk);
    look.key(72.2f, {-1700, 260, -1250});
    look.key(74.6f, {-1650, 250, -1250});
    look.key(75.4f, L::kECigOnDesk);
    look.key(76.0f, L::kECigOnDesk);

    PoseTimeline body;
    body.key(56.0f, sit(18, -4, 0, 4));
    body.key(56.8f, sit(13, -2, 0, 3));   // a little back before reaching
    body.key(57.7f, sit(32, -12, 0, 6));
    body.key(58.0f, sit(30, -11, 0, 6));
    body.key(58.6f, sit(8, -3, 0, 3));
    body.key(59.3f, sit(-4, 0, 0, 2));
    body.key(61.2f, sit(-10, 0, 0, 1));
    body.key(61.9f, sit(3, 0, 0, 2));
    body.key(64.0f, sit(5, 0, 0, 2));
    body.key(64.8f, sit(-4, 0, 0, 2));
    body.key(67.3f, sit(-14, 0, 0, 1));
    body.key(68.0f, sit(3, 0, 0, 2));
    body.key(69.6f, sit(26, -10, 0, 5));
    body.key(70.2f, sit(32, -12, 0, 6));
    body.key(70.55f, sit(31, -12, 0, 6));
    body.key(71.0f, sit(12, -3, 0, 3));
    body.key(71.7f, sit(-6, 0, 0, 0));
    body.key(72.6f, sit(-10, 0, 0, 0));   // a deep, contented sigh ...
    body.key(73.6f, sit(-4, 0, 2, 0));
    body.key(75.2f, sit(-4, 4, 2, 0));
    body.key(76.0f, sit(6, 8, 0, 2));

    // The right hand: to the mug, up to the mouth and back, down again.
    const sm::Quat grip = mugGrip();
    HandTrack hand;
    hand.key(56.0f, mug + sm::Vec3{-6, 0, 14}, grip, 0.0f, 0.3f);
    hand.key(56.9f, mug + sm::Vec3{6, 12, 8}, grip, 0.8f, 0.1f);
    hand.key(57.6f, mug + sm::Vec3{1, 1, 2}, grip, 1.0f, 0.1f);
    hand.key(kMugPickUp, mug, grip, 1.0f, 0.62f);
    hand.key(58.6f, mug + sm::Vec3{0, 22, 28}, grip, 1.0f, 0.62f);
    hand.key(61.9f, {-1674, 103, -1090}, grip, 1.0f, 0.62f);
    hand.key(64.0f, {-1677, 101, -1092}, grip, 1.0f, 0.62f);
    hand.key(68.0f, {-1672, 102, -1089}, grip, 1.0f, 0.62f);
    hand.key(69.6f, mug + sm::Vec3{0, 7, 1}, grip, 1.0f, 0.62f);
    hand.key(kMugPutDown - 0.1f, mug, grip, 1.0f, 0.62f);
    hand.key(kMugPutDown + 0.15f, mug, grip, 1.0f, 0.62f);
    hand.key(70.8f, mug + sm::Vec3{4, 6, 8}, grip, 0.5f, 0.1f);
    hand.key(71.5f, mug + sm::Vec3{4, 18, 30}, grip, 0.0f, 0.3f);

    RidePose pose = [&](float t, const ChairState& c, const sm::Mat4& seat) {
        Pose p = body.at(t);
        feetDown(p, c, seat);
        lookAt(p, seat, look.at(t));
        sm::Vec3 f = facing(seat), l = leftOf(seat);
        // Resting: hands on the desk, then folded on his belly.
        Pose rest = p;
        handOnDesk(rest, seat, Side::Left, {desk.x - 24, kTop, kEdgeZ - 14}, {0.25f, 0, -1});
        handOnDesk(rest, seat, Side::Right, {desk.x + 22, kTop, kEdgeZ - 12}, {-0.25f, 0, -1});
        curl(rest, Side::Left, 0.3f);
        curl(rest, Side::Right, 0.3f);
        blendArm(p, rest, Side::Left, 1.0f);
        blendArm(p, rest, Side::Right, 1.0f);
        float folded = window(t, 71.2f, 72.2f, 75.6f, 76.4f);
        foldHandsOnBelly(p, seat, folded);
        hand.apply(p, seat, Side::Right, t, -l - f * 0.2f + sm::Vec3{0, -1, 0});
        // Drinking: the mug at his mouth, tipped towards him.
        for (auto [a, b, c2, d, tip] : {std::tuple{58.6f, 59.3f, 61.2f, 61.9f, 1.0f}, {64.0f, 64.8f, 67.3f, 68.0f, 1.25f}}) {
            float w = window(t, a, b, c2, d);
            float drink = std::clamp((t - b) / (c2 - b), 0.0f, 1.0f);
            float angle = (40.0f + 35.0f * drink) * tip * 3.14159265f / 180.0f;
            toMouth(p, seat, Side::Right, w, {1.0f, -1.0f, 22.0f},
                    [&](const sm::Mat4& head) {
                        sm::Vec3 x = axisOf(head, 0), z = axisOf(head, 2), y = axisOf(head, 1);
                        return handRotation(x, y * std::cos(angle) - z * std::sin(angle));
                    },
                    0.62f, -l + sm::Vec3{0, -0.3f, 0});
        }
        p.eyes = blink(t) * (1.0f - 0.45f * window(t, 59.4f, 59.8f, 61.0f, 61.5f) -
                             0.5f * window(t, 64.9f, 65.3f, 67.2f, 67.7f) - 0.4f * window(t, 72.0f, 72.6f, 74.8f, 75.3f));
        return p;
    };
    writeRidingClip(out, "whisky", 56.0f, 76.0f, 15.0f, chair, pose);
    checkReach(out, "whisky", hand, "the right hand");
}

void cigarette(ClipFiles& out)
{
    const sm::Vec3 ecig = L::kECigOnDesk + sm::Vec3{0, 1.3f, 0};
    const sm::Vec3 putDown = kECigPutDownAt + sm::Vec3{0, 1.3f, 0};
    ChairTimeline chair;
    const sm::Vec3 in = L::kChairAtDesk + sm::Vec3{-2, 0, -10};  // scooted in to reach
    chair.key(76.0f, atDesk(360.0f, 8.0f));
    chair.key(76.8f, at(in, 362.0f, 1.0f));
    chair.key(80.5f, at(in, 360.0f, 4.0f));
    chair.key(86.0f, at(in, 352.0f, 6.0f));
    chair.key(90.0f, at(in, 348.0f, 9.0f));
    chair.key(94.0f, at(in, 350.0f, 8.0f));
    chair.key(96.8f, at(in, 358.0f, 2.0f));
    chair.key(98.4f, at(in, 360.0f, 2.0f));
    chair.key(99.4f, atDesk(360.0f, 10.0f));
    chair.key(100.2f, atDesk(360.0f, 17.0f));
    chair.key(100.5f, atDesk(360.0f, 16.0f));
    chair.key(106.0f, atDesk(360.0f, 16.0f));

    LookTrack look;
    look.key(76.0f, L::kECigOnDesk);
    look.key(77.3f, L::kECigOnDesk);
    look.key(78.2f, {-1700, 160, -1200});
    look.key(79.6f, {-1700, 200, -1250});
    look.key(80.5f, {-1700, 260, -1250});  // a small puff of vapour upwards
    look.key(82.5f, {-1500, 150, -1200});
    look.key(85.0f, {-1900, 180, -1000});
    look.key(86.4f, {-1720, 160, -1200});
    look.key(88.8f, {-1700, 230, -1250});
    look.key(91.0f, {-1300, 300, -900});
    look.key(93.8f, {-1720, 160, -1200});
    look.key(96.6f, {-1700, 200, -1250});
    look.key(97.4f, putDown);
    look.key(98.4f, putDown);
    look.key(99.6f, {-1700, 420, -1200});
    look.key(106.0f, {-1700, 440, -1180});

    PoseTimeline body;
    body.key(76.0f, sit(6, 8, 0, 2));
    body.key(76.8f, sit(32, 14, 0, 6));
    body.key(77.5f, sit(30, 12, 0, 6));
    body.key(78.2f, sit(4, 0, 0, 2));
    body.key(79.5f, sit(2, 0, 0, 2));
    body.key(80.5f, sit(-6, 0, 0, 1));
    body.key(82.0f, sit(0, -6, 0, 1));
    body.key(86.0f, sit(-2, 4, 0, 0));
    body.key(86.8f, sit(4, 0, 0, 1));
    body.key(88.6f, sit(2, 0, 0, 1));
    body.key(89.6f, sit(-8, 0, 0, 0));
    body.key(93.6f, sit(-6, -4, 0, 0));
    body.key(94.4f, sit(4, 0, 0, 1));
    body.key(96.6f, sit(0, 0, 0, 1));   // holding the breath ...
    body.key(97.4f, sit(30, 12, 0, 6)); // ... while he puts it down
    body.key(98.1f, sit(29, 11, 0, 6));
    body.key(99.4f, sit(-6, 0, 0, 0));
    body.key(100.3f, sit(-14, 0, 0, -2));
    body.key(103.0f, sit(-16, 0, 0, -2));
    body.key(106.0f, sit(-17, 0, 2, -3));

    // The left hand: to the e-cigarette, three puffs, and back on the desk.
    const sm::Quat pick = ecigGrip();
    const sm::Quat hold = handRotation(normalized(kFwd + kUp * 0.2f - kLeft * 0.4f), normalized(kUp - kFwd * 0.3f));
    HandTrack hand;
    hand.key(76.0f, ecig + sm::Vec3{6, 0, 14}, pick, 0.0f, 0.3f);
    hand.key(76.7f, ecig + sm::Vec3{0, 14, 4}, pick, 0.8f, 0.1f);
    hand.key(77.2f, ecig + sm::Vec3{0, 1, 0}, pick, 1.0f, 0.1f);
    hand.key(kECigPickUp, ecig, pick, 1.0f, 0.62f);
    hand.key(78.0f, ecig + sm::Vec3{8, 25, 20}, hold, 1.0f, 0.62f);
    hand.key(80.6f, {-1735, 98, -1085}, hold, 1.0f, 0.62f);
    for (float t0 : {82.0f, 86.0f, 90.0f, 93.6f}) hand.key(t0, {-1742 + (t0 - 82.0f), 95, -1075}, hold, 1.0f, 0.62f);
    hand.key(97.0f, putDown + sm::Vec3{0, 16, 6}, pick, 1.0f, 0.62f);
    hand.key(kECigPutDown - 0.15f, putDown, pick, 1.0f, 0.62f);
    hand.key(kECigPutDown + 0.15f, putDown, pick, 1.0f, 0.62f);
    hand.key(98.2f, putDown + sm::Vec3{0, 2, 0}, pick, 1.0f, 0.1f);
    hand.key(98.8f, putDown + sm::Vec3{4, 20, 20}, pick, 0.0f, 0.3f);

    RidePose pose = [&](float t, const ChairState& c, const sm::Mat4& seat) {
        Pose p = body.at(t);
        feetDown(p, c, seat);
        lookAt(p, seat, look.at(t));
        sm::Vec3 f = facing(seat), l = leftOf(seat);
        Pose rest = p;
        handOnArmrest(rest, seat, Side::Left);
        handOnArmrest(rest, seat, Side::Right);
        blendArm(p, rest, Side::Left, 1.0f);
        blendArm(p, rest, Side::Right, 1.0f);
        // Hands folded on the belly as the clip begins, clasped behind his
        // head for the exhale.
        float folded = window(t, 70.0f, 71.0f, 75.6f, 76.4f);
        foldHandsOnBelly(p, seat, folded);
        handsBehindHead(p, seat, window(t, 98.6f, 99.9f, 200.0f, 201.0f));
        hand.apply(p, seat, Side::Left, t, l - f * 0.2f + sm::Vec3{0, -1, 0});
        // The puffs: the mouthpiece at his mouth.
        for (auto [a, b, c2, d] : {std::tuple{78.0f, 78.5f, 79.5f, 80.3f}, {86.1f, 86.7f, 88.4f, 89.3f},
                                   {93.8f, 94.4f, 96.4f, 97.0f}}) {
            float w = window(t, a, b, c2, d);
            toMouth(p, seat, Side::Left, w, {0.0f, -2.5f, 19.5f},
                    [&](const sm::Mat4& head) {
                        sm::Vec3 x = axisOf(head, 0), z = axisOf(head, 2), y = axisOf(head, 1);
                        return handRotation(-x, normalized(y * 0.86f - z * 0.52f));
                    },
                    0.62f, l + sm::Vec3{0, -0.8f, 0});
        }
        // Eyes half shut on each puff; shut for good as the exhale goes on.
        float puff = window(t, 78.4f, 78.7f, 79.4f, 79.8f) + window(t, 86.6f, 86.9f, 88.3f, 88.8f) +
                     window(t, 94.3f, 94.6f, 96.3f, 96.8f);
        float sleep = std::clamp((t - 101.5f) / 1.8f, 0.0f, 1.0f);
        p.eyes = (blink(t) * (1.0f - 0.5f * puff)) * (1.0f - sleep) + 0.08f * sleep;
        return p;
    };
    writeRidingClip(out, "cigarette", 76.0f, 106.0f, 15.0f, chair, pose);
    checkReach(out, "cigarette", hand, "the left hand");
}

} // namespace world::office
