#include "tools/world/cameras.h"

#include "tools/content/staging.h"
#include "tools/model/vec_ops.h"
#include "tools/music/arrangement.h"
#include "tools/world/framing.h"
#include "tools/world/hand_dance.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/output.h"
#include "tools/world/robot_rig.h"
#include "tools/world/robot_throw.h"
#include "tools/world/robot_track.h"
#include "tools/world/sight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace world {

using namespace model;
namespace L = layout;

namespace {

// What a shot is about: where it looks and what it must hold.
enum class Subject {
    Body,    // all of him
    Upper,   // head and chest
    Face,    // his face
    Exhale,  // his face and the air in front of it
    HandR,   // his right hand (the pen, the mug)
    HandL,   // his left hand (the e-cigarette)
    Hands,   // both hands
    Gaze,    // over his shoulder: his head and what he looks at
    Fan,     // him and the wall fan
    Chair,   // him and where the chair he throws crashes down
    Doors,   // him, seen from behind on his way to the sliding doors
    Stage,   // the dancer, the hand on the crane and the greetings
    Names,   // where the hand writes: the names with the dancer under them
};

enum class Move {
    Still,  // the camera stands; it pans after him
    Track,  // the camera moves with him, keeping its angle
    Crane,  // the camera rises or swings from one angle to another about him
};

// Where the camera stands about the subject: degrees about +Y from the way he
// faces (or moves, or from the south for shots placed in the hall), degrees
// above his horizon, and the distance.
struct Angle {
    float azimuth, elevation, distance;
};

enum class Basis { Facing, Travel, Hall };

struct Shot {
    double end;        // the cut, in seconds of music (the nearest bar line)
    const char* what;  // the shot's intention
    Subject subject;
    Move move;
    Basis basis;
    Angle from, to;    // `to` only for cranes
    float fov;         // degrees, horizontal; widened when the subject needs more
    float follow;      // how closely a standing camera pans after him (0 to 1)
};

constexpr Angle kSame{0, 0, 0};

// The shot list. Office and dream: long, slow shots; the run: two bars a
// shot; the credits: a few long shots holding the stage and the hand.
const Shot kShots[] = {
    {7.57, "wide: the hall, far off in the corner a robot at his desk", Subject::Body, Move::Crane, Basis::Hall,
     {45, 16, 1900}, {38, 12, 1500}, 62, 0.0f},
    {15.14, "medium: writing at the desk", Subject::Upper, Move::Still, Basis::Facing, {110, 20, 260}, kSame, 45, 0.6f},
    {22.71, "close-up over his shoulder: the writing hand", Subject::HandR, Move::Still, Basis::Facing,
     {-140, 50, 120}, kSame, 45, 0.7f},
    {30.28, "over the shoulder: he pushes off and rolls to the posters", Subject::Gaze, Move::Track, Basis::Facing,
     {160, 18, 200}, kSame, 58, 0.8f},
    {39.73, "over the shoulder: studying the posters", Subject::Gaze, Move::Still, Basis::Facing, {-155, 12, 140},
     kSame, 58, 0.6f},
    {47.31, "wide: rolling back, spinning the chair", Subject::Body, Move::Still, Basis::Hall, {10, 14, 650}, kSame, 50,
     0.8f},
    {54.88, "medium: back at the desk", Subject::Upper, Move::Still, Basis::Facing, {-60, 15, 230}, kSame, 45, 0.6f},
    {64.34, "close-up: the mug picked up", Subject::HandR, Move::Still, Basis::Facing, {-40, 25, 125}, kSame, 42,
     0.8f},
    {68.13, "close-up: the mug at his mouth as he drinks", Subject::Face, Move::Still, Basis::Facing, {35, -4, 170},
     kSame, 42, 0.7f},
    {71.91, "medium: he puts the mug down", Subject::Upper, Move::Still, Basis::Facing, {-50, 12, 260}, kSame, 45,
     0.6f},
    {79.48, "medium: content, the mug goes down", Subject::Upper, Move::Still, Basis::Facing, {60, 20, 260}, kSame, 45,
     0.6f},
    {87.05, "close-up: the e-cigarette in his hand", Subject::HandL, Move::Still, Basis::Facing, {30, 15, 115}, kSame,
     42, 0.8f},
    {94.62, "close-up: his face, puffing", Subject::Face, Move::Still, Basis::Facing, {-25, 8, 120}, kSame, 38, 0.7f},
    {100.30, "medium wide: he leans back", Subject::Body, Move::Still, Basis::Facing, {70, 20, 420}, kSame, 45, 0.5f},
    {105.98, "three-quarter: leaning back, the long exhale", Subject::Exhale, Move::Still, Basis::Facing, {60, 8, 200}, kSame, 45, 0.6f},
    {111.98, "crane down: asleep, the dream", Subject::Upper, Move::Crane, Basis::Facing, {100, 40, 360}, {70, 18, 300},
     50, 0.5f},
    {115.46, "medium close: he wakes with a start", Subject::Upper, Move::Still, Basis::Facing, {-30, 10, 170}, kSame,
     45, 0.7f},
    {118.93, "close-up: a fist on the desk, the hand to the cable", Subject::Hands, Move::Still, Basis::Facing,
     {35, 40, 165}, kSame, 45, 0.8f},
    {124.13, "medium: the shock", Subject::Body, Move::Still, Basis::Facing, {40, 18, 300}, kSame, 60, 0.5f},
    {127.59, "close-up: his face in the flicker", Subject::Face, Move::Still, Basis::Facing, {-35, 5, 120}, kSame, 40,
     0.6f},
    {134.06, "wide, high: the corner in the flicker, then darkness", Subject::Body, Move::Still, Basis::Hall,
     {60, 35, 800}, kSame, 55, 0.3f},
    {137.84, "low and close: up on the drop, he hurls the chair", Subject::Body, Move::Still, Basis::Facing,
     {-70, -4, 420}, kSame, 62, 0.6f},
    {141.63, "wide: the chair crashes down, he turns to run", Subject::Chair, Move::Still, Basis::Hall,
     {-45, 14, 1000}, kSame, 55, 0.3f},
    {145.41, "tracking beside him along the machines", Subject::Body, Move::Track, Basis::Travel, {80, 8, 480}, kSame,
     50, 1.0f},
    {149.20, "leading him, running at us", Subject::Body, Move::Track, Basis::Travel, {0, 10, 520}, kSame, 45, 1.0f},
    {152.98, "wide: the fan winds down as he runs past", Subject::Fan, Move::Still, Basis::Facing, {10, 4, 1200},
     kSame, 50, 0.0f},
    {156.77, "tracking low, the other side", Subject::Body, Move::Track, Basis::Travel, {-100, 2, 460}, kSame, 55,
     1.0f},
    {160.55, "wide: along the conveyor", Subject::Body, Move::Still, Basis::Travel, {-60, 25, 900}, kSame, 40, 0.9f},
    {164.33, "tracking beside him", Subject::Body, Move::Track, Basis::Travel, {90, 12, 480}, kSame, 50, 1.0f},
    {168.12, "leading him towards the pipe", Subject::Body, Move::Track, Basis::Travel, {10, 14, 520}, kSame, 45,
     1.0f},
    {171.90, "the run-up and the leap at the pipe", Subject::Body, Move::Still, Basis::Travel, {70, 10, 550}, kSame,
     50, 0.7f},
    {177.58, "side on, low: the swing on the pipe", Subject::Body, Move::Still, Basis::Facing, {90, 0, 420}, kSame, 55,
     0.6f},
    {181.37, "tracking beside him", Subject::Body, Move::Track, Basis::Travel, {-80, 10, 480}, kSame, 50, 1.0f},
    {185.15, "wide: across the hall", Subject::Body, Move::Still, Basis::Travel, {120, 20, 800}, kSame, 45, 0.8f},
    {188.94, "leading him towards the crates", Subject::Body, Move::Track, Basis::Travel, {15, 8, 520}, kSame, 45,
     1.0f},
    {194.61, "low angle: over the row of crates", Subject::Body, Move::Still, Basis::Hall, {100, -5, 600}, kSame, 60,
     0.6f},
    {202.29, "up on the platform, the flip, from his right and a little above the platform", Subject::Body, Move::Still, Basis::Facing, {-70, 8, 600},
     kSame, 60, 0.7f},
    {206.12, "tracking beside him", Subject::Body, Move::Track, Basis::Travel, {85, 10, 480}, kSame, 50, 1.0f},
    {209.96, "behind him: the doors sliding open ahead", Subject::Doors, Move::Track, Basis::Facing, {10, 12, 520},
     kSame, 50, 1.0f},
    {215.72, "onto the stage", Subject::Body, Move::Still, Basis::Hall, {-30, 10, 650}, kSame, 45, 0.9f},
    // The credits: the names are written while the music's clock runs on
    // and the scene's slows, so a cut can fall only where no frame rate puts
    // a window (see creditsCut): before the first name, after it, and after
    // the last. The names hang in front of the stage and above the dancer,
    // seen from the front; from low down and off to the side they read
    // against the dark upper wall beside the bright doorway.
    {219.55, "close on the fingertip: the hand writes the first name over the dancer", Subject::Names, Move::Still,
     Basis::Hall, {-28, 0, 600}, kSame, 58, 0.0f},
    {246.41, "a slow crane round the front of the stage: the hand writes the names over the dancer", Subject::Names,
     Move::Crane, Basis::Hall, {-46, 0, 520}, {-26, 3, 540}, 58, 0.0f},
    {250.25, "low, in front: the dance", Subject::Upper, Move::Still, Basis::Facing,
     {16, 2, 330}, kSame, 48, 0.5f},
    {252.16, "medium from his left: the dance", Subject::Upper, Move::Still, Basis::Facing, {-60, 8, 360}, kSame, 48,
     0.5f},
    {254.08, "low from his right: he dances under the hand", Subject::Upper, Move::Still, Basis::Facing,
     {55, -6, 380}, kSame, 50, 0.5f},
    {265.46, "closing: a crane up and back from the dancer into the end picture", Subject::Upper, Move::Crane,
     Basis::Facing, {0, 8, 420}, {0, 24, 760}, 52, 0.3f},
};

constexpr float kNear = 10.0f, kFar = 9000.0f;
constexpr float kFill = 0.9f;  // how much of the picture a fitted subject may take

// The wall fan's hub and a sphere round its blades; the doors' opening.
const Sphere kFanSphere{L::kFanHub, L::kFanRadius + 20.0f};
const Sphere kDoorsSphere{{0.0f, L::kDoorHeight * 0.5f, -L::kHallHalfZ}, L::kDoorWidth * 0.6f};

// Where the thrown chair comes down and skids to rest.
const Sphere& chairSphere()
{
    static const Sphere sphere = [] {
        const ThrowPlan& plan = throwPlan();
        sm::Vec3 centre = (plan.landing + plan.rest) * 0.5f + sm::Vec3{0.0f, 40.0f, 0.0f};
        return Sphere{centre, 0.5f * sm::length(plan.rest - plan.landing) + 70.0f};
    }();
    return sphere;
}

const Sphere* landmark(Subject s)
{
    switch (s) {
    case Subject::Fan: return &kFanSphere;
    case Subject::Chair: return &chairSphere();
    case Subject::Doors: return &kDoorsSphere;
    default: return nullptr;
    }
}

struct Context {
    const RobotTrack& robot;
    const HandDance& dance;
    const ShowClock& clock;                   // at 60 frames a second: the shots are posed on it
    const std::vector<ShowClock>& clocksSeen; // at the frame rates a viewer may see the show at
    const Sight& sight;
};

// The frame rates whose windows a credits cut keeps out of: the slowest
// machine the show plays smoothly on to the fastest screens. The scene clock
// slows and speeds up frame by frame, so its windows fall at other music
// times at other rates (up to a second apart by the last name).
constexpr double kViewerRates[] = {30.0, 50.0, 60.0, 75.0, 120.0, 144.0};

// The bar line nearest a time.
double nearestBar(const std::vector<double>& bars, double t)
{
    return *std::min_element(bars.begin(), bars.end(),
                             [&](double a, double b) { return std::fabs(a - t) < std::fabs(b - t); });
}

// During the credits a cut waits for the greeting on screen to finish: the
// nearest bar line outside every window (and a moment after it) at every
// frame rate a viewer may watch at.
double creditsCut(const Context& c, const std::vector<double>& bars, double t, double after)
{
    std::vector<double> free;
    for (double b : bars) {
        bool inside = false;
        for (const ShowClock& clock : c.clocksSeen)
            for (std::size_t i = 0; i < clock.opens().size(); ++i)
                if (b > clock.opens()[i] - 0.05 && b < clock.closes()[i] + 0.15) inside = true;
        if (!inside && b > after + 1.0) free.push_back(b);
    }
    return nearestBar(free, t);
}

// Where the names hang (all in one place): the middle of the picture under
// the finger's sweep.
sm::Vec3 namesCentre(const HandDance& dance)
{
    const GreetingSweep& s = dance.sweeps().front();
    return (s.from + s.to) * 0.5f - sm::Vec3{0.0f, 0.5f * HandDance::kSweepWidth * HandDance::kGreetingAspect, 0.0f};
}

Sphere robotSphere(const RobotTrack& r, float t) { return {r.centre(t), r.radius(t)}; }

// The point a shot looks at, at scene time t.
sm::Vec3 subjectPoint(const Context& c, Subject s, float t)
{
    const RobotTrack& r = c.robot;
    sm::Vec3 head = r.bone(t, rig::kHead) + sm::Vec3{0, 12, 0};
    switch (s) {
    case Subject::Body: return r.centre(t) + sm::Vec3{0, 10, 0};
    case Subject::Upper: return (head + r.bone(t, rig::kChest)) * 0.5f;
    case Subject::Face: return head + r.facing(t) * 6.0f;
    case Subject::Exhale: return head + r.facing(t) * 45.0f;
    case Subject::HandR: return r.bone(t, rig::kHandR);
    case Subject::HandL: return r.bone(t, rig::kHandL);
    case Subject::Hands: return (r.bone(t, rig::kHandR) + r.bone(t, rig::kHandL)) * 0.5f;
    case Subject::Gaze: return head + r.facing(t) * 150.0f;
    // Shots of two things look between them, nearer the nearer one.
    case Subject::Fan: return lerp(r.centre(t), kFanSphere.centre, 0.35f);
    case Subject::Chair: return lerp(r.centre(t), chairSphere().centre, 0.5f);
    case Subject::Doors: return lerp(r.centre(t), kDoorsSphere.centre, 0.1f);
    // Above the names, the hand writes; under them, the dancer.
    case Subject::Names: return lerp(namesCentre(c.dance) + sm::Vec3{0, 70, 0}, r.bone(t, rig::kChest), 0.45f);
    case Subject::Stage: {
        // From his feet to the top of the hand, between him and the greetings.
        HandState h = c.dance.at(t);
        sm::Vec3 c2 = (r.centre(t) + h.tip) * 0.5f;
        c2.y = 0.5f * (r.centre(t).y - r.radius(t) + h.tip.y + 115.0f);
        return c2;
    }
    }
    return r.centre(t);
}

// What the shot's eye is placed about.
sm::Vec3 anchorPoint(const Context& c, Subject s, float t)
{
    switch (s) {
    case Subject::Gaze: return c.robot.bone(t, rig::kHead) + sm::Vec3{0, 10, 0};
    case Subject::Fan:
    case Subject::Doors: return c.robot.centre(t);
    default: return subjectPoint(c, s, t);
    }
}

// Everything the shot must hold in frame at scene time t (widening the fov
// when it does not fit).
void mustHold(const Context& c, Subject s, float t, std::vector<Sphere>& out)
{
    switch (s) {
    case Subject::Body: out.push_back(robotSphere(c.robot, t)); break;
    case Subject::Fan:
    case Subject::Chair:
        out.push_back(robotSphere(c.robot, t));
        out.push_back(*landmark(s));
        break;
    case Subject::Doors: out.push_back(robotSphere(c.robot, t)); break;
    case Subject::Stage: {
        out.push_back(robotSphere(c.robot, t));
        const auto& sweeps = c.dance.sweeps();
        for (std::size_t i = 0; i < sweeps.size(); ++i) {
            // The fingertip while it draws (between greetings the hand may
            // swoop out of the picture and back).
            const GreetingWindow& w = sweeps[i].window;
            if (t > w.open - 0.05f && t < w.close + 0.05f) out.push_back({c.dance.at(t).tip + sm::Vec3{0, 30, 0}, 60.0f});
            // The greetings on show: each from its window's open until the
            // next one's, as a row of spheres along the picture.
            float gone = i + 1 < sweeps.size() ? sweeps[i + 1].window.open : 1e9f;
            if (t < w.open - 0.3f || t > gone) continue;
            float h = HandDance::kSweepWidth * HandDance::kGreetingAspect;
            for (int k = 0; k < 5; ++k) {
                sm::Vec3 p = lerp(sweeps[i].from, sweeps[i].to, (static_cast<float>(k) + 0.5f) / 5.0f);
                out.push_back({p - sm::Vec3{0, h * 0.5f, 0}, std::hypot(HandDance::kSweepWidth / 10.0f, h * 0.5f)});
            }
        }
        break;
    }
    default: break;
    }
}

sm::Vec3 basisFront(const Context& c, const Shot& shot, float t)
{
    switch (shot.basis) {
    case Basis::Hall: return {0.0f, 0.0f, 1.0f};
    case Basis::Travel: return c.robot.travel(t, 0.8f);
    case Basis::Facing:
        if (landmark(shot.subject)) {
            // From beyond him, looking past him at it.
            sm::Vec3 away = c.robot.centre(t) - landmark(shot.subject)->centre;
            return normalized(sm::Vec3{away.x, 0.0f, away.z});
        }
        return c.robot.facing(t);
    }
    return {0, 0, 1};
}

float ease(float x) { return x * x * (3.0f - 2.0f * x); }

struct Plan {
    std::vector<float> times;  // scene clock
    std::vector<sm::Vec3> eyes, targets;
    float fov = 1.0f;
    int blocked = 0;     // keys from which he is hidden by the set
    int outOfFrame = 0;  // keys at which he is not in the picture
    bool standsClear = true;
};

// Poses a shot with the angle adjusted by (turn, rise, scale).
Plan pose(const Context& c, const Shot& shot, float start, float end, float turn, float rise, float scale)
{
    Plan p;
    const float step = shot.move == Move::Track ? 0.4f : 0.5f;
    const int n = std::max(1, static_cast<int>(std::ceil((end - start) / step)));
    for (int i = 0; i <= n; ++i) p.times.push_back(start + (end - start) * static_cast<float>(i) / static_cast<float>(n));
    const float mid = 0.5f * (start + end);
    // A standing camera aims at the mean of the subject and pans after it
    // as closely as the shot follows.
    sm::Vec3 mean;
    for (float t : p.times) mean += subjectPoint(c, shot.subject, t);
    mean = mean / static_cast<float>(p.times.size());
    const sm::Vec3 midAnchor = anchorPoint(c, shot.subject, mid);
    const sm::Vec3 midFront = basisFront(c, shot, mid);
    for (std::size_t i = 0; i < p.times.size(); ++i) {
        float t = p.times[i];
        float u = n > 0 ? static_cast<float>(i) / static_cast<float>(n) : 0.0f;
        Angle a = shot.from;
        sm::Vec3 anchor = midAnchor, front = midFront;
        if (shot.move == Move::Crane) {
            float e = ease(u);
            a = {shot.from.azimuth + (shot.to.azimuth - shot.from.azimuth) * e,
                 shot.from.elevation + (shot.to.elevation - shot.from.elevation) * e,
                 shot.from.distance + (shot.to.distance - shot.from.distance) * e};
        }
        if (shot.move == Move::Track) {
            // Smoothed, as an operator would follow him.
            sm::Vec3 shift = c.robot.smoothedCentre(t, 0.6f) - c.robot.smoothedCentre(mid, 0.6f);
            anchor = midAnchor + shift;
            front = shot.basis == Basis::Travel ? c.robot.travel(t, 0.8f)
                    : landmark(shot.subject)    ? basisFront(c, shot, t)
                                                : normalized(c.robot.facing(t) + midFront);
        }
        p.eyes.push_back(orbit(anchor, front, a.azimuth + turn, a.elevation + rise, a.distance * scale));
        sm::Vec3 follow = subjectPoint(c, shot.subject, t);
        if (shot.move == Move::Track && shot.subject == Subject::Body)
            follow = c.robot.smoothedCentre(t, 0.25f) + sm::Vec3{0, 10, 0};
        p.targets.push_back(lerp(mean, follow, shot.follow));
    }
    // Wide enough for what it must hold, at every key.
    float fov = shot.fov * kPi / 180.0f;
    for (std::size_t i = 0; i < p.times.size(); ++i) {
        std::vector<Sphere> hold;
        mustHold(c, shot.subject, p.times[i], hold);
        if (!hold.empty()) fov = std::max(fov, fitFov(p.eyes[i], p.targets[i], hold, kFill));
    }
    p.fov = std::min(fov, 88.0f * kPi / 180.0f);
    for (std::size_t i = 0; i < p.times.size(); ++i) {
        float t = p.times[i];
        if (!c.sight.canStand(p.eyes[i])) p.standsClear = false;
        // Most of him in sight, and what the shot is about.
        int hidden = 0;
        for (int b : {rig::kHead, rig::kChest, rig::kHip, rig::kHandL, rig::kHandR, rig::kFootL, rig::kFootR})
            if (!c.sight.sees(p.eyes[i], c.robot.bone(t, b))) ++hidden;
        sm::Vec3 look = shot.subject == Subject::Gaze || shot.subject == Subject::Exhale || landmark(shot.subject) ||
                                shot.subject == Subject::Stage || shot.subject == Subject::Names
                            ? c.robot.bone(t, rig::kHead)
                            : subjectPoint(c, shot.subject, t);
        if (hidden > 2 || !c.sight.sees(p.eyes[i], look)) ++p.blocked;
        // He is in the picture: all of him, or filling its middle; under the
        // names, his head and chest.
        const sm::Mat4 view = lookAtView(p.eyes[i], p.targets[i]);
        if (shot.subject == Subject::Names) {
            if (!inFrame(view, p.fov, {c.robot.bone(t, rig::kHead), 20.0f}) ||
                !inFrame(view, p.fov, {c.robot.bone(t, rig::kChest), 20.0f}))
                ++p.outOfFrame;
            continue;
        }
        Projected r = project(view, p.fov, robotSphere(c.robot, t));
        bool whole = r.ahead && std::fabs(r.x) + r.rx <= 1.0f && std::fabs(r.y) + r.ry <= 1.0f;
        bool fills = r.ahead && std::hypot(r.x / r.rx, r.y / r.ry) < 1.0f;
        if (!whole && !fills) ++p.outOfFrame;
    }
    return p;
}

// The shot as written, or the nearest variation of its angle and distance
// that stands in the open, sees him and holds what it must at about the
// field of view asked for.
Plan place(const Context& c, const Shot& shot, float start, float end, std::string& note)
{
    struct Variation {
        float turn, rise, scale, cost;
    };
    std::vector<Variation> variations;
    for (float scale : {1.0f, 1.2f, 1.45f, 1.75f, 2.1f, 0.85f, 0.7f})
        for (float rise : {0.0f, 8.0f, 16.0f, -6.0f})
            for (float turn : {0, 12, -12, 24, -24, 36, -36, 50, -50, 70, -70, 90, -90, 180})
                // The other side (a mirror of the shot) costs as much as a 30 degree turn.
                variations.push_back({turn, rise, scale,
                                      (turn == 180.0f ? 9.0f : std::fabs(turn) * 0.3f) + std::fabs(rise) * 0.5f +
                                          std::fabs(std::log(scale)) * 25.0f});
    std::stable_sort(variations.begin(), variations.end(),
                     [](const Variation& a, const Variation& b) { return a.cost < b.cost; });
    const float asked = shot.fov * kPi / 180.0f;
    Plan best;
    float bestScore = -1e9f;
    for (const Variation& v : variations) {
        // Nothing left can do better than the best so far.
        if (bestScore >= -v.cost) break;
        Plan p = pose(c, shot, start, end, v.turn, v.rise, v.scale);
        float wider = std::max(0.0f, p.fov - asked * 1.1f) * 180.0f / kPi;
        float score = (p.standsClear ? 0.0f : -1000.0f) - static_cast<float>(p.outOfFrame) * 500.0f -
                      static_cast<float>(p.blocked) * 40.0f - wider * 3.0f - v.cost;
        if (score > bestScore) {
            bestScore = score;
            best = p;
            note.clear();
            if (v.turn != 0.0f || v.rise != 0.0f || v.scale != 1.0f) {
                char buf[96];
                std::snprintf(buf, sizeof buf, " (moved %+.0f deg round, %+.0f up, x%.2f away)", v.turn, v.rise, v.scale);
                note = buf;
            }
        }
    }
    if (!best.standsClear) note += " [stands too close to the set]";
    if (best.blocked > 0) note += " [view blocked at " + std::to_string(best.blocked) + " keys]";
    if (best.outOfFrame > 0) note += " [out of the picture at " + std::to_string(best.outOfFrame) + " keys]";
    return best;
}

} // namespace

std::vector<float> writeMainCameras(content::Staging& staging, const RobotTrack& robot, const HandDance& dance,
                                    const Sight& sight)
{
    const std::vector<double> bars = music::barLines();
    ShowClock clock(dance.windows(), 60.0);
    std::vector<ShowClock> clocksSeen;
    for (double fps : kViewerRates) clocksSeen.emplace_back(dance.windows(), fps);
    Context c{robot, dance, clock, clocksSeen, sight};
    CameraList cameras;
    SceneNode root;
    std::vector<float> cuts;
    double start = 0.0;
    int id = 1;
    const double creditsFrom = dance.sweeps().front().window.open - 1.0;
    for (const Shot& shot : kShots) {
        double end = shot.end > creditsFrom ? creditsCut(c, bars, shot.end, start) : nearestBar(bars, shot.end);
        if (end <= start + 1.0) {
            staging.fail("cameras/cameras.cam: the shot \"" + std::string(shot.what) + "\" has no length");
            return {};
        }
        // Posed on the scene clock, cut on the music.
        const float sceneStart = static_cast<float>(clock.scene(start)), sceneEnd = static_cast<float>(clock.scene(end));
        std::string note;
        Plan p = place(c, shot, sceneStart, sceneEnd, note);

        auto cam = std::make_unique<AnimCamera>();
        cam->cameraId = id;
        cam->name = "shot" + std::to_string(id);
        cam->view = lookAtView(p.eyes.front(), p.targets.front());
        cam->fovValue = p.fov;
        cam->nearValue = kNear;
        cam->farValue = kFar;
        SceneNode& node = addNode(root, cam->name, id);
        for (std::size_t i = 0; i < p.times.size(); ++i) {
            keyPosition(node, p.times[i], p.eyes[i]);
            keyRotation(node, p.times[i], cameraRotation(p.eyes[i], p.targets[i]));
        }
        // The cut: the latest key, on the bar line (later than the pose's
        // last key while the scene clock lags behind the music).
        const float cut = static_cast<float>(end);
        if (cut > p.times.back() + 1e-3f) {
            keyPosition(node, cut, p.eyes.back());
            keyRotation(node, cut, cameraRotation(p.eyes.back(), p.targets.back()));
        }
        std::printf("    shot %2d %7.2f-%7.2f fov %3.0f  %s%s\n", id, start, end, p.fov * 180.0f / kPi, shot.what,
                    note.c_str());
        cameras.push_back(std::move(cam));
        cuts.push_back(cut);
        start = end;
        ++id;
    }
    saveCameraFile(staging, "cameras/cameras.cam", cameras);
    saveAnimationFile(staging, "animations/cameras.ani", root);
    return cuts;
}

} // namespace world
