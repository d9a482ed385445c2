#pragma once
// Writing the robot's clips: the riding clips (a chair carrying the rider),
// the clips played on the skeleton, the walk cycle and the floor paths, and
// the body helpers the performances are authored with.
#include "tools/world/pose.h"
#include "tools/world/timeline.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace content {
class Staging;
}
namespace model {
struct Model;
}

namespace world {

// Where the clips go: the staging folder, and the bytes of every animation
// file written (the performance is evaluated from them).
struct ClipFiles {
    content::Staging& staging;
    std::map<std::string, std::vector<std::uint8_t>>& files;

    long keys = 0;  // keys written so far, all tracks of all files

    void animation(const std::string& name, const SceneNode& root);
    void fail(const std::string& message);
};

// --- The office chair of the riding clips -----------------------------------

struct ChairState {
    sm::Vec3 at;        // the base on the floor
    float yaw = 180.0f; // the base's heading (0: the seat faces +Z)
    float swivel = 0.0f;
    float tilt = 0.0f;  // the seat leaning back, degrees
};

class ChairTimeline {
public:
    void key(float t, const ChairState& c);
    ChairState at(float t) const;
    const ChairState& last() const { return last_; }

private:
    Spline curve_;
    ChairState last_;
};

sm::Mat4 chairBaseFrame(const ChairState& c);
sm::Mat4 seatFrame(const ChairState& c);

// The rider's pose at a time, given the chair there (hip relative to the seat).
using RidePose = std::function<Pose(float t, const ChairState& chair, const sm::Mat4& seat)>;
// A riding clip over [t0, t1]: its chair geometry and its animation, sampled
// at `rate` keys per second.
void writeRidingClip(ClipFiles& out, const std::string& name, float t0, float t1, float rate,
                     const ChairTimeline& chair, const RidePose& pose);
// A clip on the skeleton, sampled at `rate` keys per second.
void writeSkeletonClip(ClipFiles& out, const std::string& name, float t0, float t1, float rate,
                       const std::function<Pose(float t)>& pose);

// The seven riding clips at the desk, the throw, the stunts and the dance.
void writeOfficeClips(ClipFiles& out);
void writeThrowClip(ClipFiles& out);
void writeStuntClips(ClipFiles& out);
void writeDanceClip(ClipFiles& out);

// --- The run ----------------------------------------------------------------

// The walk cycle "run": four bounding steps covering 1030 units of travel.
inline constexpr float kRunCycleLength = 1.0f;  // seconds of the cycle's own keys
inline constexpr float kRunCycleTravel = 1030.0f;
// The run cycle's pose at a phase in [0, 1) (the body frame: path point at
// the origin, travelling along +Z).
Pose runPose(float phase);
// The run cycle's pose in the world: the path point at `point`, running
// towards `heading` degrees (about +Y from +Z).
Pose runPoseAt(sm::Vec3 point, float heading, float phase);
// A body standing (or crouching) on its own: the hip at `hip` in the world,
// facing `yaw`, the hips tipped forward by `hipPitch`, the back bent as bend() does.
Pose body(sm::Vec3 hip, float yaw, float lean = 0.0f, float twist = 0.0f, float tip = 0.0f, float hipPitch = 0.0f);
// The facing of a heading in degrees: (sin, 0, cos).
sm::Vec3 headingDir(float degrees);
void writeRunCycle(ClipFiles& out);

// A floor path the robot runs, as the engine plays it: where it starts and
// the phase of the walk cycle at its start and end (the cycle advances by
// distance, from the origin in the path's first frame).
struct PathInfo {
    sm::Vec3 start, end;       // first and last points
    sm::Vec3 startDir, endDir; // directions of travel there
    float startPhase = 0.0f, endPhase = 0.0f;
    float pace = 0.0f;  // units per second
};
const PathInfo& pathInfo(const std::string& name);
// Where the first run starts (the throw ends running into it).
inline constexpr sm::Vec3 kRun01Start{-1470.0f, 0.0f, -884.0f};
inline constexpr float kRun01Heading = 70.0f;
// Where the run after the swing and the run after the flip start (both
// heading west).
inline constexpr sm::Vec3 kRun021Start{250.0f, 0.0f, -726.0f};
inline constexpr sm::Vec3 kRun03Start{900.0f, 0.0f, 880.0f};
// The four floor paths; the set (for the clearance check) may be null.
void writePathClips(ClipFiles& out, const model::Model* set);

// --- Body helpers -----------------------------------------------------------

// Where he looks, keyed over time.
class LookTrack {
public:
    void key(float t, sm::Vec3 target) { curve_.key(t, {target.x, target.y, target.z}); }
    sm::Vec3 at(float t) const;

private:
    Spline curve_;
};

// Bends the back forward (+) or back, twists it to his left (+), tips it to
// his right (+), shared between spine and chest.
void bend(Pose& p, float forward, float twist = 0.0f, float side = 0.0f);
// An arm by its angles: raised forward, raised out to the side, the elbow
// bent, the forearm turned.
void armAngles(Pose& p, Side side, float forward, float out, float elbow, float twist = 0.0f);
// A leg by its angles: the thigh raised forward and out, the knee bent.
void legAngles(Pose& p, Side side, float lift, float out, float knee);
void shrug(Pose& p, float degrees);
// A hand palm down, fingers along `fingers` (the thumb towards the body's middle).
sm::Quat palmDown(Side side, sm::Vec3 fingers, sm::Vec3 up = {0, 1, 0});
// Moves a hand from where the pose has it towards a grip target by
// `weight`, along a path lifted by `arc` in the middle, the arm solved for
// each point on the way (no joint swings the long way round).
void reachBlend(Pose& p, const sm::Mat4& root, Side side, sm::Vec3 grip, sm::Quat hand, sm::Vec3 elbow, float weight,
                float arc = 12.0f);
// Blends only the bones of one arm (or one leg) from a towards b.
void blendArm(Pose& a, const Pose& b, Side side, float t);
void blendLeg(Pose& a, const Pose& b, Side side, float t);
// A blink now and then (1 open, dipping to 0 for a blink), the same on every run.
float blink(float t);
// A ramp: 0 before a, rising to 1 at b, holding, falling from c to 0 at d.
float window(float t, float a, float b, float c, float d);
// A deterministic value in [-1, 1] for an integer and a seed.
float noise1(int i, int seed);
// Smooth deterministic noise over time in [-1, 1].
float wobble(float t, float rate, int seed);

} // namespace world
