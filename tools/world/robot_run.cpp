// The run: the walk cycle "run" (four bounding steps over 1030 units of
// travel, each foot planted while it is on the floor) and the four floor
// paths, built from straight legs and circular turns wide enough that a
// planted foot does not slide as the body turns above it.
#include "tools/world/robot_clips.h"

#include "tools/bake/ray_scene.h"
#include "tools/model/model.h"
#include "tools/model/vec_ops.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace world {

using model::normalized;
using model::operator-;

namespace {

constexpr float kStep = kRunCycleTravel / 4.0f;  // 257.5
constexpr float kStance = 40.0f;                  // travel while a foot is on the floor
constexpr float kFootX = 6.0f;                    // feet land close to the line of travel

// A point on a smooth closed-form curve through keys (u, value), u in [0, 1].
float through(const std::vector<std::pair<float, float>>& keys, float u)
{
    Spline s;
    for (auto [k, v] : keys) s.key(k, {v});
    return s.at(u)[0];
}

// Where a foot is in the body frame at distance s into its own two-step
// period (0: touching down), and its pitch.
struct FootAt {
    sm::Vec3 ankle;
    float pitch;
    bool planted;
};

FootAt footAt(float s, float side)
{
    FootAt f;
    if (s < kStance) {
        f.ankle = {side * kFootX, rig::kAnkleHeight, kStance * 0.5f - s};
        f.pitch = 0.0f;
        f.planted = true;
        return f;
    }
    float u = (s - kStance) / (2.0f * kStep - kStance);
    // Off the floor toes last, the heel kicked up behind, the knee driven
    // forward, then down and sweeping back to meet the floor at its own
    // speed, so the foot lands without skidding.
    // The foot leaves the floor and comes down on it standing still in the
    // world (sweeping back under the body as fast as the body goes on), so
    // it neither scuffs nor skids; between, the heel kicks up behind and the
    // knee drives forward.
    const float half = kStance * 0.5f;
    float z = through({{0.0f, -half},         {0.021f, -half - 10.0f}, {0.042f, -half - 20.0f}, {0.063f, -half - 30.0f},
                       {0.14f, -55.0f},       {0.3f, -38.0f},          {0.5f, 5.0f},            {0.72f, 42.0f},
                       {0.86f, 52.0f},        {0.937f, half + 20.0f},  {0.958f, half + 15.0f},  {0.979f, half + 10.0f},
                       {0.989f, half + 5.0f}, {1.0f, half}},
                      u);
    const float a = rig::kAnkleHeight;
    float y = through({{0.0f, a},        {0.021f, a + 0.6f}, {0.042f, a + 2.5f}, {0.063f, a + 6.0f}, {0.14f, 30.0f},
                       {0.3f, 62.0f},    {0.5f, 55.0f},      {0.72f, 38.0f},     {0.86f, 22.0f},     {0.937f, a + 8.0f},
                       {0.958f, a + 4.5f}, {0.979f, a + 2.0f}, {0.989f, a + 0.5f}, {1.0f, a}},
                      u);
    float x = side * (kFootX + 4.0f * std::sin(3.14159265f * u));
    f.ankle = {x, y, z};
    f.pitch = through({{0.0f, 0.0f}, {0.063f, 0.0f}, {0.2f, -35.0f}, {0.35f, -40.0f}, {0.7f, 10.0f}, {0.86f, 8.0f},
                       {0.937f, 0.0f}, {1.0f, 0.0f}},
                      u);
    f.planted = false;
    return f;
}

} // namespace

Pose runPose(float phase)
{
    phase -= std::floor(phase);
    const float s = phase * kRunCycleTravel;
    // Step k lands the left foot for even k, the right for odd k.
    const float inStep = std::fmod(s, kStep);
    // The body sways over the planted foot: +1 over the left, -1 over the right.
    const float stanceSide = std::cos(2.0f * 3.14159265f * (s - kStance * 0.5f) / (2.0f * kStep));
    // The body: low on the planted foot, high in the flight between.
    float y = inStep < kStance ? 88.0f - 4.5f * std::sin(3.14159265f * inStep / kStance)
                               : 88.0f + 9.0f * std::sin(3.14159265f * (inStep - kStance) / (kStep - kStance));
    // Which way the swing is going: +1 while the left leg swings forward.
    float swing = std::cos(2.0f * 3.14159265f * (s / (2.0f * kStep)));
    Pose p = standing({stanceSide * 1.5f, y, 0.0f}, 0.0f);
    p.turn[rig::kHip] = eulerYXZ(-9.0f * swing, 8.0f, 3.0f * stanceSide);
    p.turn[rig::kSpine] = eulerYXZ(6.0f * swing, 9.0f, -2.0f * stanceSide);
    p.turn[rig::kChest] = eulerYXZ(9.0f * swing, 8.0f, -1.5f * stanceSide);
    // The head steady, looking ahead.
    p.turn[rig::kNeck] = eulerYXZ(-3.0f * swing, -12.0f, 0.0f);
    p.turn[rig::kHead] = eulerYXZ(-3.0f * swing, -9.0f, 1.0f * stanceSide);
    // Arms pumping against the legs, fists closed.
    armAngles(p, Side::Left, 12.0f - 48.0f * swing, 12.0f, 88.0f - 12.0f * swing);
    armAngles(p, Side::Right, 12.0f + 48.0f * swing, 12.0f, 88.0f + 12.0f * swing);
    curl(p, Side::Left, 0.9f);
    curl(p, Side::Right, 0.9f);
    // Legs: each foot's place in its own two-step period.
    const sm::Mat4 root = sm::identityMatrix();
    for (Side side : {Side::Left, Side::Right}) {
        float sign = side == Side::Left ? 1.0f : -1.0f;
        float own = std::fmod(s + (side == Side::Left ? 0.0f : kStep) + 2.0f * kRunCycleTravel, 2.0f * kStep);
        FootAt f = footAt(own, sign);
        placeAnkle(p, root, side, f.ankle, footRotation({0, 0, 1}, f.pitch), {0.0f, 0.3f, 1.0f});
    }
    return p;
}

Pose runPoseAt(sm::Vec3 point, float heading, float phase)
{
    Pose p = runPose(phase);
    sm::Quat yaw = axisAngle({0, 1, 0}, heading);
    p.hip = point + sm::transformPoint(rotationMatrix(yaw), p.hip);
    p.turn[rig::kHip] = yaw * p.turn[rig::kHip];
    return p;
}

sm::Vec3 headingDir(float degrees)
{
    float r = degrees * 3.14159265f / 180.0f;
    return {std::sin(r), 0.0f, std::cos(r)};
}

Pose body(sm::Vec3 hip, float yaw, float lean, float twist, float tip, float hipPitch)
{
    Pose p = standing(hip, yaw);
    p.turn[rig::kHip] = axisAngle({0, 1, 0}, yaw) * axisAngle({1, 0, 0}, hipPitch);
    bend(p, lean, twist, tip);
    return p;
}

void writeRunCycle(ClipFiles& out)
{
    PoseKeys keys;
    const int n = 96;
    for (int k = 0; k <= n; ++k) {
        float u = static_cast<float>(k) / static_cast<float>(n);
        Pose p = runPose(k == n ? 0.0f : u);
        p.eyes = 1.0f;
        keys.push_back({u * kRunCycleLength, p});
    }
    SceneNode root;
    addSkeleton(root, keys, false);
    out.animation("run", root);
}

// --- Paths ------------------------------------------------------------------

namespace {

namespace L = layout;

// A path over the floor from straight legs and turns (left for positive
// degrees), heading in degrees about +Y from +Z.
class PathBuilder {
public:
    PathBuilder(sm::Vec3 start, float heading) : at_(start), heading_(heading) { points_.push_back(start); }
    PathBuilder& straight(float length)
    {
        int n = std::max(1, static_cast<int>(std::ceil(length / 20.0f)));
        sm::Vec3 d = dir();
        for (int i = 1; i <= n; ++i) points_.push_back(at_ + d * (length * static_cast<float>(i) / static_cast<float>(n)));
        at_ = points_.back();
        return *this;
    }
    PathBuilder& turn(float radius, float degrees)
    {
        if (radius < minRadius_) minRadius_ = radius;
        const float sign = degrees > 0.0f ? 1.0f : -1.0f;
        // The centre lies to the side the path turns to.
        const sm::Vec3 centre = at_ + side(heading_) * (sign * radius);
        int n = std::max(2, static_cast<int>(std::ceil(std::fabs(degrees) * radius / 1146.0f)));
        const float h0 = heading_;
        for (int i = 1; i <= n; ++i) {
            float h = h0 + degrees * static_cast<float>(i) / static_cast<float>(n);
            points_.push_back(centre - side(h) * (sign * radius));
        }
        heading_ = h0 + degrees;
        at_ = points_.back();
        return *this;
    }
    // Straight on until the path reaches x (or z).
    PathBuilder& toX(float x)
    {
        sm::Vec3 d = dir();
        return straight(std::fabs(d.x) > 1e-3f ? std::max(0.0f, (x - at_.x) / d.x) : 0.0f);
    }
    PathBuilder& toZ(float z)
    {
        sm::Vec3 d = dir();
        return straight(std::fabs(d.z) > 1e-3f ? std::max(0.0f, (z - at_.z) / d.z) : 0.0f);
    }
    // The direction a positive turn bends towards (his left).
    static sm::Vec3 side(float heading)
    {
        float r = heading * 3.14159265f / 180.0f;
        return {std::cos(r), 0.0f, -std::sin(r)};
    }
    sm::Vec3 dir() const
    {
        float r = heading_ * 3.14159265f / 180.0f;
        return {std::sin(r), 0.0f, std::cos(r)};
    }
    const std::vector<sm::Vec3>& points() const { return points_; }
    float minRadius() const { return minRadius_; }

private:
    sm::Vec3 at_;
    float heading_;
    std::vector<sm::Vec3> points_;
    float minRadius_ = 1e9f;
};

std::map<std::string, PathInfo>& paths()
{
    static std::map<std::string, PathInfo> table;
    return table;
}

// Where the path runs into the set: sample points whose body would touch
// something (rays around him at knee, waist and chest height).
std::vector<sm::Vec3> collisions(const bake::RayScene& scene, const std::vector<sm::Vec3>& pts)
{
    std::vector<sm::Vec3> hits;
    for (std::size_t i = 0; i < pts.size(); i += 2) {
        for (float y : {25.0f, 80.0f, 140.0f, 175.0f})
            for (int k = 0; k < 12; ++k) {
                float a = 6.2831853f * static_cast<float>(k) / 12.0f;
                if (scene.occluded(pts[i] + sm::Vec3{0, y, 0}, {std::cos(a), 0.0f, std::sin(a)}, 38.0f)) {
                    hits.push_back(pts[i]);
                    k = 12;
                    y = 1e9f;
                }
            }
    }
    return hits;
}

void writePath(ClipFiles& out, const std::string& name, float t0, float t1, const PathBuilder& path,
               const bake::RayScene* scene)
{
    const std::vector<sm::Vec3>& pts = path.points();
    std::vector<float> along{0.0f};
    for (std::size_t i = 1; i < pts.size(); ++i) along.push_back(along.back() + sm::length(pts[i] - pts[i - 1]));
    const float length = along.back(), pace = length / (t1 - t0);
    const std::string file = "animations/" + name + ".ani";
    if (pace < 500.0f || pace > 700.0f)
        out.fail(file + ": the path is run at " + std::to_string(pace) + " per second, outside 500 to 700");
    if (path.minRadius() < 400.0f)
        out.fail(file + ": a turn of radius " + std::to_string(path.minRadius()) + " is too tight for planted feet");
    if (scene) {
        std::vector<sm::Vec3> hits = collisions(*scene, pts);
        if (!hits.empty())
            out.fail(file + ": the path runs into the set at (" + std::to_string(hits[0].x) + ", " +
                     std::to_string(hits[0].z) + ") and " + std::to_string(hits.size() - 1) + " more places");
    }
    // Even pace along the path, keyed every tenth of a second.
    auto pointAt = [&](float d) {
        std::size_t i = static_cast<std::size_t>(std::upper_bound(along.begin(), along.end(), d) - along.begin());
        if (i == 0) return pts.front();
        if (i >= pts.size()) return pts.back();
        float u = (d - along[i - 1]) / std::max(1e-4f, along[i] - along[i - 1]);
        return pts[i - 1] + (pts[i] - pts[i - 1]) * u;
    };
    SceneNode root;
    SceneNode& point = addNode(root, "path");
    for (float t : evenTimes(t0, t1, 10.0f)) keyPosition(point, t, pointAt(length * (t - t0) / (t1 - t0)));
    out.animation(name, root);
    // The walk cycle's phase as the engine advances it: from the origin to
    // the first point in the first frame, then by the distance run.
    PathInfo info;
    info.start = pts.front();
    info.end = pts.back();
    info.startDir = normalized(pts[1] - pts[0]);
    info.endDir = normalized(pts.back() - pts[pts.size() - 2]);
    float first = std::hypot(info.start.x, info.start.z);
    info.startPhase = std::fmod(first / kRunCycleTravel, 1.0f);
    info.endPhase = std::fmod((first + length) / kRunCycleTravel, 1.0f);
    info.pace = pace;
    paths()[name] = info;
    std::printf("    %-8s %6.0f units, %5.1f per second, tightest turn %4.0f\n", name.c_str(), length, pace,
                path.minRadius());
}

} // namespace

const PathInfo& pathInfo(const std::string& name) { return paths()[name]; }

void writePathClips(ClipFiles& out, const model::Model* set)
{
    std::unique_ptr<bake::RayScene> scene;
    if (set) {
        scene = std::make_unique<bake::RayScene>();
        for (const model::ModelMesh& m : set->meshes)
            for (const model::Shape& s : m.shapes) scene->add(s);
        scene->commit();
    }
    const bake::RayScene* rays = scene.get();
    // 9: from the desk east along the machines, round under the swing pipe,
    // back west past the stage towards the fan as it stops, round the
    // feeder and east along the south wall.
    writePath(out, "run01", 140.0f, 155.0f,
              PathBuilder(kRun01Start, kRun01Heading)
                  .straight(200)
                  .turn(500, 90.0f - kRun01Heading)
                  .straight(2000)
                  .turn(420, -180)
                  .toX(-1150.0f)
                  .turn(500, 180)
                  .straight(600),
              rays);
    // 10: a lap round the conveyor, then east between it and the platform,
    // up the east side and back west to the swing pipe.
    const PathInfo run01 = pathInfo("run01");
    writePath(out, "run02", 155.0f, 170.0f,
              PathBuilder(run01.end, 90.0f)
                  .toX(400.0f)
                  .turn(450, 180)
                  .toX(-1250.0f)
                  .turn(450, 180)
                  .straight(380)
                  .turn(450, 59)
                  .turn(450, -59)
                  .straight(1400)
                  .turn(450, 90)
                  .straight(460)
                  .turn(450, 90)
                  .straight(100),
              rays);
    // 12: from the swing west along the machines, round to the south, a lap
    // round the stage and east at the crates.
    writePath(out, "run021", 178.0f, 190.0f,
              PathBuilder(kRun021Start, 270.0f)
                  .straight(kRun021Start.x + 1170.0f)
                  .turn(413, 180)
                  .straight(1170)
                  .turn(450, 360)
                  .straight(1150),
              rays);
    // 15: from the platform west along the south side, round the feeder,
    // east along the conveyor's north side, round and down onto the stage.
    writePath(out, "run03", 202.0f, 215.0f,
              PathBuilder(kRun03Start, 270.0f)
                  .straight(kRun03Start.x + 1100.0f)
                  .turn(450, -180)
                  .straight(1500)
                  .turn(400, 180)
                  .turn(400, 90),
              rays);
}

} // namespace world
