// The two rides across the office: to the poster wall and back to the desk
// with a spin on the way.
#include "tools/world/robot_office.h"

#include "tools/model/vec_ops.h"
#include "tools/world/keys.h"

#include <cmath>

namespace world::office {

using model::normalized;
using model::operator-;

namespace {

// A foot pressed on the floor from `from` to `to` (kicking the chair
// along): planted where it touched down, blending back to the chair's feet
// over `release` seconds after.
struct Kick {
    float from, to, release;
};

// Feet riding with the chair (lifted by `lift`), planted during kicks.
void ridingFeet(Pose& p, const ChairTimeline& chair, float t, const ChairState& c, const sm::Mat4& seat, float lift,
                const std::vector<Kick>& kicks, float forward = 30.0f)
{
    feetDown(p, c, seat, forward, 13.0f, lift, lift);
    for (const Kick& k : kicks) {
        if (t < k.from || t > k.to + k.release) continue;
        // Where the feet touched down, held there.
        ChairState c0 = chair.at(k.from);
        Pose planted = p;
        sm::Mat4 seat0 = seatFrame(c0);
        sm::Vec3 f = facing(seat0), l = leftOf(seat0);
        sm::Vec3 centre = origin(seat0);
        centre.y = 0.0f;
        for (Side s : {Side::Left, Side::Right}) {
            float side = s == Side::Left ? 1.0f : -1.0f;
            sm::Vec3 ankle = centre + f * (forward + 6.0f) + l * (side * 13.0f) + sm::Vec3{0, rig::kAnkleHeight, 0};
            placeAnkle(planted, seat, s, ankle, footRotation(f), facing(seat) + sm::Vec3{0, 0.6f, 0});
        }
        float w = t <= k.to ? window(t, k.from - 0.15f, k.from, 1e9f, 1e9f) : 1.0f - ease((t - k.to) / k.release);
        blendLeg(p, planted, Side::Left, w);
        blendLeg(p, planted, Side::Right, w);
    }
}

} // namespace

void goToPosters(ClipFiles& out)
{
    const sm::Vec3 desk = L::kChairAtDesk, posters = L::kChairAtPosters;
    ChairTimeline chair;
    chair.key(24.0f, atDesk());
    chair.key(25.8f, atDesk());
    chair.key(26.25f, at(desk + sm::Vec3{0, 0, -4}));  // pulling himself in ...
    chair.key(26.5f, at(desk + sm::Vec3{2, 0, 6}, -3.0f));     // ... and the shove
    chair.key(26.8f, at(desk + sm::Vec3{14, 0, 32}, -18.0f));
    chair.key(27.4f, at({-1640, 0, -1000}, -60.0f));
    chair.key(28.2f, at({-1570, 0, -992}, -86.0f));
    chair.key(29.0f, at({-1470, 0, -990}, -88.0f));
    chair.key(30.0f, at({-1345, 0, -992}, -86.0f));
    chair.key(31.0f, at({-1225, 0, -998}, -80.0f));
    chair.key(31.7f, at({-1150, 0, -1004}, -55.0f));
    chair.key(32.3f, at(posters + sm::Vec3{8, 0, 1}, 7.0f));   // past the spot ...
    chair.key(32.8f, at(posters + sm::Vec3{-2, 0, 0}, -2.0f)); // ... and back
    chair.key(33.3f, at(posters));
    chair.key(35.0f, at(posters, 3.0f));
    chair.key(37.0f, at(posters, -8.0f));
    chair.key(39.0f, at(posters, -2.0f));
    chair.key(40.0f, at(posters, -1.0f));
    const std::vector<Kick> kicks = {{27.75f, 28.25f, 0.35f}, {29.1f, 29.6f, 0.35f}};

    const sm::Vec3 paper = L::kPapers;
    const float wall = -L::kHallHalfZ;
    const float px = L::kPosterWall.x, py = L::kPosterWall.y;
    auto poster = [&](int i) { return sm::Vec3{px - 240.0f + 160.0f * static_cast<float>(i), py + (i % 2 ? 15.0f : -10.0f), wall}; };
    LookTrack look;
    look.key(24.0f, paper + sm::Vec3{-6, 0, 0});
    look.key(24.7f, paper);
    look.key(25.4f, {-1250, 150, -1150});
    look.key(25.9f, {-1690, 76, -1100});
    look.key(26.7f, {-1600, 120, -1200});
    look.key(27.6f, {-1300, 110, -1000});
    look.key(30.5f, {-1100, 130, -1050});
    look.key(32.2f, poster(1));
    look.key(33.6f, poster(0));
    look.key(35.2f, poster(1));
    look.key(36.9f, poster(2));
    look.key(38.5f, poster(3));
    look.key(39.5f, poster(2) + sm::Vec3{-30, 20, 0});
    look.key(40.0f, poster(2) + sm::Vec3{-30, 10, 0});

    PoseTimeline body;
    body.key(24.0f, sit(24, 0, 0, 4));
    body.key(24.7f, sit(20, 0, 0, 4));
    body.key(25.3f, sit(4, -12, 0, 2));
    body.key(25.9f, sit(30, 0, 0, 5));   // gathering himself ...
    body.key(26.3f, sit(36, 0, 0, 7));
    body.key(26.65f, sit(-10, 0, 0, 0)); // ... and away
    body.key(27.1f, sit(-5, -6, 0, 0));
    body.key(27.8f, sit(14, 0, 0, 2));   // the kicks
    body.key(28.3f, sit(-2, 0, 0, 0));
    body.key(29.15f, sit(14, 0, 0, 2));
    body.key(29.7f, sit(-3, 0, 0, 0));
    body.key(31.6f, sit(-6, 0, 3, 0));
    body.key(32.3f, sit(10, 0, -3, 2));  // the stop throws him forward
    body.key(32.8f, sit(-3, 0, 0, 1));
    body.key(33.5f, sit(16, 0, 0, 3));
    body.key(36.0f, sit(18, -3, -3, 3));
    body.key(38.0f, sit(15, -6, 2, 3));
    body.key(40.0f, sit(17, -2, -2, 3));

    HandTrack edgeL, edgeR;
    for (Side s : {Side::Left, Side::Right}) {
        HandTrack& h = s == Side::Left ? edgeL : edgeR;
        float side = s == Side::Left ? -1.0f : 1.0f;  // the desk's x runs to his right
        sm::Vec3 grip{desk.x + side * 24.0f, kTop - 1.5f, kEdgeZ - 2.0f};
        sm::Quat hand = palmDown(s, normalized(sm::Vec3{0, -0.8f, -1}));
        h.key(25.3f, grip + sm::Vec3{0, 14, 12}, hand, 0.0f, 0.3f);
        h.key(25.8f, grip + sm::Vec3{0, 2, 0}, hand, 1.0f, 0.4f);
        h.key(26.0f, grip, hand, 1.0f, 0.75f);
        h.key(26.45f, grip, hand, 1.0f, 0.75f);
        h.key(26.75f, grip + sm::Vec3{side * 6, 16, 20}, hand, 0.7f, 0.2f);
        h.key(27.3f, grip + sm::Vec3{side * 6, 16, 40}, hand, 0.0f, 0.3f);
    }

    RidePose pose = [&](float t, const ChairState& c, const sm::Mat4& seat) {
        Pose p = body.at(t);
        float lift = 6.0f * window(t, 26.5f, 27.0f, 31.8f, 32.4f);
        ridingFeet(p, chair, t, c, seat, lift, kicks);
        lookAt(p, seat, look.at(t));
        sm::Vec3 f = facing(seat), l = leftOf(seat);
        Pose rest = p;
        if (t < 33.0f) {
            handOnArmrest(rest, seat, Side::Left);
            handOnArmrest(rest, seat, Side::Right);
        } else {
            handOnThigh(rest, seat, Side::Left);
            handOnThigh(rest, seat, Side::Right);
        }
        blendArm(p, rest, Side::Left, 1.0f);
        blendArm(p, rest, Side::Right, 1.0f);
        writingHands(p, seat, t, window(t, -1.0f, 0.0f, 24.9f, 25.4f), window(t, -1.0f, 0.0f, 24.5f, 24.9f));
        edgeL.apply(p, seat, Side::Left, t, l - f * 0.5f + sm::Vec3{0, -0.5f, 0});
        edgeR.apply(p, seat, Side::Right, t, -l - f * 0.5f + sm::Vec3{0, -0.5f, 0});
        // Studying the posters: chin on the right fist, the left arm across
        // the belly holding the right elbow.
        float think = window(t, 33.4f, 34.2f, 100.0f, 101.0f);
        if (think > 0.0f) {
            Frames fr = forward(p, seat);
            const sm::Mat4& head = fr[rig::kHead];
            const sm::Mat4& chest = fr[rig::kChest];
            Pose q = p;
            sm::Vec3 chin = sm::transformPoint(head, {-1.0f, -3.0f, 10.0f + 0.8f * std::sin(t * 3.0f)});
            reachGrip(q, seat, Side::Right, chin, handRotation(normalized(l + f * 0.3f), sm::Vec3{0, 1, 0} - f * 0.3f),
                      -l * 0.3f + sm::Vec3{0, -1, 0});
            curl(q, Side::Right, 0.85f);
            sm::Vec3 under = sm::transformPoint(chest, {-6.0f, -4.0f, 19.0f});
            reachGrip(q, seat, Side::Left, under, handRotation(-l, sm::Vec3{0, 1, 0}), l * 0.7f + sm::Vec3{0, -1, 0});
            curl(q, Side::Left, 0.5f);
            blendArm(p, q, Side::Left, think);
            blendArm(p, q, Side::Right, think);
        }
        p.eyes = blink(t);
        return p;
    };
    writeRidingClip(out, "go_to_posters", 24.0f, 40.0f, 15.0f, chair, pose);
    checkReach(out, "go_to_posters", edgeL, "the left hand");
    checkReach(out, "go_to_posters", edgeR, "the right hand");
}

void backToCigarette(ClipFiles& out)
{
    const sm::Vec3 posters = L::kChairAtPosters, desk = L::kChairAtDesk;
    ChairTimeline chair;
    chair.key(40.0f, at(posters, -1.0f));
    chair.key(41.0f, at(posters, -1.0f));
    chair.key(41.6f, at(posters, 96.0f));
    chair.key(41.95f, at(posters, 89.0f));
    chair.key(42.15f, at(posters, 90.0f));
    chair.key(42.6f, at(posters + sm::Vec3{-45, 0, 0}, 90.0f));
    chair.key(43.2f, at(posters + sm::Vec3{-125, 0, 2}, 90.0f));
    chair.key(44.0f, at(posters + sm::Vec3{-220, 0, 5}, 90.0f));
    chair.key(44.6f, at(posters + sm::Vec3{-285, 0, 8}, 90.0f));
    chair.key(47.0f, at(posters + sm::Vec3{-470, 0, 10}, 450.0f));  // the spin
    chair.key(48.0f, at({-1625, 0, -1012}, 452.0f));
    chair.key(49.5f, at({-1670, 0, -1030}, 440.0f));
    chair.key(51.0f, at({-1697, 0, -1049}, 368.0f));
    chair.key(51.5f, at(desk + sm::Vec3{-4, 0, -3}, 357.0f));
    chair.key(52.0f, at(desk, 361.0f));
    chair.key(52.5f, at(desk, 360.0f));
    chair.key(56.0f, at(desk, 360.0f));
    const std::vector<Kick> kicks = {{42.1f, 42.7f, 0.4f}};

    const sm::Vec3 mug = L::kMugOnDesk;
    LookTrack look;
    look.key(40.0f, sm::Vec3{-1050, 190, -1250});
    look.key(40.8f, {-1100, 180, -1250});
    look.key(41.4f, {-1500, 100, -1000});
    look.key(42.0f, {-1600, 40, -1010});
    look.key(44.4f, {-1700, 120, -1010});
    look.key(47.0f, {-1700, 250, -1010});
    look.key(48.0f, {-1800, 90, -1040});
    look.key(50.5f, {-1700, 90, -1150});
    look.key(53.0f, {-1710, 100, -1150});
    look.key(54.5f, {-1780, 90, -1120});
    look.key(55.3f, mug);
    look.key(56.0f, mug);

    PoseTimeline body;
    body.key(40.0f, sit(17, -2, -2, 3));
    body.key(40.8f, sit(4, 0, 0, 1));
    body.key(41.5f, sit(0, 8, 0, 0));
    body.key(42.0f, sit(20, 0, 0, 4));  // gathering ...
    body.key(42.45f, sit(-12, 0, 0, 0)); // ... and the push
    body.key(43.2f, sit(-6, 0, 0, 0));
    body.key(44.5f, sit(-10, 0, 0, -2));
    body.key(45.8f, sit(-18, 0, 4, -3)); // thrown back in the spin
    body.key(46.9f, sit(-12, 0, -3, -2));
    body.key(48.0f, sit(-2, 0, 0, 0));
    body.key(50.6f, sit(4, 0, 0, 1));
    body.key(51.5f, sit(-4, 0, 0, 0));
    body.key(52.0f, sit(12, 0, 0, 3)); // the stop
    body.key(52.5f, sit(4, 0, 0, 2));
    body.key(53.5f, sit(16, 0, 0, 4));
    body.key(56.0f, sit(18, -4, 0, 4));

    RidePose pose = [&](float t, const ChairState& c, const sm::Mat4& seat) {
        Pose p = body.at(t);
        float lift = 10.0f * window(t, 42.5f, 43.0f, 48.5f, 49.5f) + 4.0f * window(t, 41.0f, 41.2f, 41.6f, 41.9f);
        ridingFeet(p, chair, t, c, seat, lift, kicks);
        float tuck = window(t, 44.3f, 45.0f, 46.8f, 47.6f);
        if (tuck > 0.0f) {
            // Knees pulled up for the spin.
            Pose q = p;
            legAngles(q, Side::Left, 115.0f, 8.0f, 110.0f);
            legAngles(q, Side::Right, 115.0f, 8.0f, 110.0f);
            blendLeg(p, q, Side::Left, tuck);
            blendLeg(p, q, Side::Right, tuck);
        }
        lookAt(p, seat, look.at(t));
        sm::Vec3 f = facing(seat), l = leftOf(seat);
        Pose rest = p;
        if (t < 52.3f) {
            handOnArmrest(rest, seat, Side::Left);
            handOnArmrest(rest, seat, Side::Right);
        } else {
            handOnDesk(rest, seat, Side::Left, {desk.x - 24, kTop, kEdgeZ - 14}, {0.25f, 0, -1});
            handOnDesk(rest, seat, Side::Right, {desk.x + 22, kTop, kEdgeZ - 12}, {-0.25f, 0, -1});
            curl(rest, Side::Left, 0.3f);
            curl(rest, Side::Right, 0.3f);
        }
        float desk = window(t, 52.0f, 52.8f, 100.0f, 101.0f);
        Pose armrest = p;
        handOnArmrest(armrest, seat, Side::Left);
        handOnArmrest(armrest, seat, Side::Right);
        blendArm(p, armrest, Side::Left, 1.0f);
        blendArm(p, armrest, Side::Right, 1.0f);
        if (t >= 52.0f) {
            blendArm(p, rest, Side::Left, desk);
            blendArm(p, rest, Side::Right, desk);
        }
        // The spin: arms flung wide.
        float wide = window(t, 44.4f, 45.0f, 46.8f, 47.8f);
        if (wide > 0.0f) {
            Pose q = p;
            armAngles(q, Side::Left, 10.0f, 85.0f, 25.0f);
            armAngles(q, Side::Right, 10.0f, 85.0f, 25.0f);
            curl(q, Side::Left, 0.0f);
            curl(q, Side::Right, 0.0f);
            blendArm(p, q, Side::Left, wide);
            blendArm(p, q, Side::Right, wide);
        }
        // The studying hands of the poster wall, let go.
        float think = window(t, 30.0f, 31.0f, 40.4f, 41.0f);
        if (think > 0.0f) {
            Frames fr = forward(p, seat);
            Pose q = p;
            sm::Vec3 chin = sm::transformPoint(fr[rig::kHead], {-1.0f, -3.0f, 10.0f + 0.8f * std::sin(t * 3.0f)});
            reachGrip(q, seat, Side::Right, chin, handRotation(normalized(l + f * 0.3f), sm::Vec3{0, 1, 0} - f * 0.3f),
                      -l * 0.3f + sm::Vec3{0, -1, 0});
            curl(q, Side::Right, 0.85f);
            sm::Vec3 under = sm::transformPoint(fr[rig::kChest], {-6.0f, -4.0f, 19.0f});
            reachGrip(q, seat, Side::Left, under, handRotation(-l, sm::Vec3{0, 1, 0}), l * 0.7f + sm::Vec3{0, -1, 0});
            curl(q, Side::Left, 0.5f);
            blendArm(p, q, Side::Left, think);
            blendArm(p, q, Side::Right, think);
        }
        p.eyes = blink(t) * (1.0f - 0.45f * window(t, 44.6f, 45.2f, 47.0f, 47.6f));
        return p;
    };
    writeRidingClip(out, "back_to_cigarette", 40.0f, 56.0f, 15.0f, chair, pose);
}

} // namespace world::office
