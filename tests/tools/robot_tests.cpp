// The robot's performance as the show plays it, read back from the staging
// folder and played with the engine's own clips on the show's frame clock:
// his feet stay put while they are on the floor, his hands reach what they
// take, the things he holds stay in his grip, nothing jumps between frames.
#include "anim/animation_file.h"
#include "anim/clip_schedule.h"
#include "anim/simple_clip.h"
#include "anim/track_clip.h"
#include "anim/wheel_clip.h"
#include "content/geometry/geometry_reader.h"
#include "content/geometry/vertex_format.h"
#include "tools/world/layout.h"
#include "tools/world/robot_office.h"
#include "tools/world/robot_rig.h"
#include "tools/world/robot_throw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace rig = world::rig;

namespace {

const fs::path& dataRoot()
{
    static const fs::path root = fs::path(MURMUR_BIN_DIR) / ".." / "content_staging" / "quellon_data";
    return root;
}

sm::Vec3 origin(const sm::Mat4& m) { return sm::transformPoint(m, {}); }
float horizontal(sm::Vec3 a, sm::Vec3 b) { return std::hypot(a.x - b.x, a.z - b.z); }

// The robot, his clips and the props he handles, loaded and played as the
// show plays them.
class Show {
public:
    bool load()
    {
        body_ = geometry("bind_pose");
        skeleton_ = animation("bind_pose");
        SceneNode* run = animation("run");
        if (!body_ || !skeleton_ || !run) return false;
        skeleton_->bindMeshes(body_->meshes);
        const struct {
            const char* name;
            char kind;
        } clips[] = {{"writting", 'w'}, {"go_to_posters", 'w'}, {"back_to_cigarette", 'w'}, {"whisky", 'w'},
                     {"cigarette", 'w'}, {"angry", 'w'},        {"porazenie", 'w'},         {"throw", 's'},
                     {"run01", 't'},     {"run02", 't'},        {"branch", 's'},            {"run021", 't'},
                     {"jump", 's'},      {"flip", 's'},         {"run03", 't'},             {"credits_dance", 's'}};
        for (const auto& c : clips) {
            SceneNode* a = animation(c.name);
            if (!a) return false;
            if (c.kind == 'w') {
                Geometry* g = geometry(c.name);
                if (!g) return false;
                schedule_.add(std::make_unique<WheelClip>(skeleton_, a, g));
            } else if (c.kind == 's') {
                schedule_.add(std::make_unique<SimpleClip>(skeleton_, a));
            } else {
                schedule_.add(std::make_unique<TrackClip>(skeleton_, run, a));
            }
        }
        for (std::size_t i = 0; i < schedule_.size(); ++i) schedule_.clip(i).stop();
        for (const char* prop : {"kubek", "epapieros", "flying_chair"}) {
            Geometry* g = geometry(prop);
            SceneNode* a = animation(prop);
            if (!g || !a) return false;
            a->bindMeshes(g->meshes);
            props_.push_back(a);
        }
        for (int b = 0; b < rig::kBoneCount; ++b) {
            bones_.push_back(skeleton_->findNode(rig::kBones[b].name));
            if (!bones_.back()) return false;
        }
        return true;
    }

    // One frame of the show's clock.
    void frame(float t)
    {
        schedule_.update(t, 1.0f / 60.0f);
        for (SceneNode* p : props_) p->updateNode(t, 1.0f / 60.0f, sm::identityMatrix());
    }
    const sm::Mat4& bone(int b) const { return bones_[static_cast<std::size_t>(b)]->world; }
    sm::Vec3 grip(world::Side side) const
    {
        return side == world::Side::Left ? sm::transformPoint(bone(rig::kHandL), rig::kGripL)
                                          : sm::transformPoint(bone(rig::kHandR), rig::kGripR);
    }
    sm::Vec3 sole(world::Side side) const
    {
        return sm::transformPoint(bone(side == world::Side::Left ? rig::kFootL : rig::kFootR), rig::kSole);
    }
    const Mesh* prop(const std::string& geometryName, const std::string& mesh) const
    {
        return geometries_.at(geometryName)->findMesh(mesh);
    }
    // The lowest point of a hand (palm, fingers and thumb) in the world.
    float lowestOfHand(world::Side side) const
    {
        const bool left = side == world::Side::Left;
        float lowest = 1e9f;
        for (int b : {left ? rig::kHandL : rig::kHandR, left ? rig::kFingersL : rig::kFingersR,
                      left ? rig::kThumbL : rig::kThumbR}) {
            const Mesh* m = body_->findMesh(std::string("robot_") + rig::kBones[b].name);
            if (!m) continue;
            for (const auto& s : m->subMeshes) {
                const VertexLayout& L = *vertexLayout(s->vertexFormat);
                for (int i = 0; i < s->vertexCount; ++i) {
                    sm::Vec3 p;
                    std::memcpy(&p, s->vertices.data() + static_cast<std::size_t>(i) * L.stride + L.position, 12);
                    lowest = std::min(lowest, sm::transformPoint(m->renderMatrixValue, p).y);
                }
            }
        }
        return lowest;
    }
    SceneNode* animation(const std::string& name)
    {
        fs::path p = dataRoot() / "animations" / (name + ".ani");
        std::string error;
        auto a = readAnimationFile(p.string(), &error);
        if (!a) {
            ADD_FAILURE() << p << ": " << error;
            return nullptr;
        }
        return (animations_[name] = std::move(a)).get();
    }

private:
    Geometry* geometry(const std::string& name)
    {
        for (const char* folder : {"models", "models/robot_parts"}) {
            fs::path p = dataRoot() / folder / (name + ".geo");
            if (!fs::exists(p)) continue;
            std::string error;
            auto g = readGeometryFile(p.string(), &error);
            if (!g) {
                ADD_FAILURE() << p << ": " << error;
                return nullptr;
            }
            return (geometries_[name] = std::move(g)).get();
        }
        ADD_FAILURE() << "no geometry " << name;
        return nullptr;
    }

    std::map<std::string, std::unique_ptr<Geometry>> geometries_;
    std::map<std::string, std::unique_ptr<SceneNode>> animations_;
    Geometry* body_ = nullptr;
    SceneNode* skeleton_ = nullptr;
    ClipSchedule schedule_;
    std::vector<SceneNode*> props_;
    std::vector<SceneNode*> bones_;
};

// Follows one foot through its stances: a stance is a run of frames with
// the sole on the floor; within it the sole must stay where it touched down.
struct StanceWatch {
    bool down = false;
    sm::Vec3 touched;
    float worst = 0.0f, worstAt = 0.0f;
    int stances = 0;

    void see(sm::Vec3 sole, float when)
    {
        bool onFloor = sole.y < 0.75f;
        if (onFloor && !down) touched = sole, ++stances;
        if (onFloor) {
            float drift = horizontal(sole, touched);
            if (drift > worst) worst = drift, worstAt = when;
        }
        down = onFloor;
    }
};

} // namespace

TEST(Robot, FeetStayPlantedThroughTheRunCycle)
{
    Show show;
    ASSERT_TRUE(show.load());
    SceneNode* run = show.animation("run");
    SceneNode* skeleton = show.animation("bind_pose");
    ASSERT_TRUE(run && skeleton);
    skeleton->copyTracksFrom(*run);
    const float length = run->duration();
    ASSERT_GT(length, 0.0f);
    SceneNode* foot[2] = {skeleton->findNode("FootL"), skeleton->findNode("FootR")};
    ASSERT_TRUE(foot[0] && foot[1]);
    // Two loops of the cycle, the body carried forward as the engine
    // carries it: one loop per 1030 units.
    StanceWatch watch[2];
    float lowest = 1e9f;
    for (int k = 0; k <= 4000; ++k) {
        float travel = 2.0f * 1030.0f * static_cast<float>(k) / 4000.0f;
        float cycle = std::fmod(travel / 412.0f * length * 0.4f, length);
        skeleton->resetTrackHints();
        skeleton->updateNode(cycle, 0.0f, sm::translation({0, 0, travel}));
        for (int f = 0; f < 2; ++f) {
            sm::Vec3 sole = sm::transformPoint(foot[f]->world, rig::kSole);
            lowest = std::min(lowest, sole.y);
            watch[f].see(sole, travel);
        }
    }
    for (int f = 0; f < 2; ++f) {
        SCOPED_TRACE(f == 0 ? "left foot" : "right foot");
        // Each foot lands once a loop (twice in two loops, plus the start).
        EXPECT_GE(watch[f].stances, 2);
        EXPECT_LT(watch[f].worst, 2.0f) << "slides at " << watch[f].worstAt << " units of travel";
    }
    EXPECT_GT(lowest, -1.5f) << "a foot goes through the floor";
}

TEST(Robot, FeetStayPlantedAlongThePathsAndHandsKeepHoldOfWhatTheyCarry)
{
    Show show;
    ASSERT_TRUE(show.load());
    using world::Side;
    namespace office = world::office;
    const float desk = world::layout::kDeskSize.y;
    StanceWatch watch[2];
    float worstMug = 0.0f, worstECig = 0.0f, chairDrift = 0.0f, worstJump = 0.0f;
    float worstMugAt = 0.0f, worstECigAt = 0.0f, worstJumpAt = 0.0f;
    int worstJumpBone = 0, runFrames = 0;
    float chairGripDistance = -1.0f;
    std::vector<sm::Vec3> last(rig::kBoneCount);
    const float pathStarts[] = {140.0f, 155.0f, 178.0f, 202.0f};
    const float pathEnds[] = {155.0f, 170.0f, 190.0f, 215.0f};
    const Mesh* mug = show.prop("kubek", "kubek");
    const Mesh* ecig = show.prop("epapieros", "epapieros");
    const Mesh* chair = show.prop("flying_chair", "chair_seat");
    ASSERT_TRUE(mug && ecig && chair);
    float bangLowest[2] = {1e9f, 1e9f};
    for (long k = 1; k <= 262L * 60; ++k) {
        const float t = static_cast<float>(k) / 60.0f;
        show.frame(t);
        // The mug and the e-cigarette in his hand from pick-up to put-down.
        if (t >= office::kMugPickUp && t <= office::kMugPutDown) {
            float d = sm::length(origin(mug->nodeMatrixValue) - show.grip(Side::Right));
            if (d > worstMug) worstMug = d, worstMugAt = t;
        }
        if (t >= office::kECigPickUp && t <= office::kECigPutDown) {
            float d = sm::length(origin(ecig->nodeMatrixValue) - show.grip(Side::Left));
            if (d > worstECig) worstECig = d, worstECigAt = t;
        }
        // The flying chair rides rigidly in his hands until he lets go.
        if (t >= world::kChairGrab && t <= world::kChairRelease) {
            float d = sm::length(origin(chair->nodeMatrixValue) - show.grip(Side::Right));
            if (chairGripDistance < 0.0f) chairGripDistance = d;
            chairDrift = std::max(chairDrift, std::fabs(d - chairGripDistance));
        }
        // His fists come down on the desk top when he bangs it.
        for (int b = 0; b < 2; ++b)
            if (std::fabs(t - office::kBangs[b]) < 0.5f / 60.0f + 1e-4f)
                bangLowest[b] = std::min(show.lowestOfHand(Side::Left), show.lowestOfHand(Side::Right));
        // Feet on the run paths.
        bool onPath = false;
        for (int p = 0; p < 4; ++p)
            onPath = onPath || (t > pathStarts[p] + 1.5f / 60.0f && t <= pathEnds[p]);
        if (onPath) {
            ++runFrames;
            watch[0].see(show.sole(Side::Left), t);
            watch[1].see(show.sole(Side::Right), t);
        } else {
            watch[0].down = watch[1].down = false;
        }
        // Nothing jumps from one frame to the next, clip changes included;
        // the first frame of a path measures its step from the hall's
        // origin and faces along it (the engine's rule), so it and the
        // frame after it are left out.
        bool firstOfPath = false;
        for (float s : pathStarts) firstOfPath = firstOfPath || (t > s && t <= s + 2.5f / 60.0f);
        for (int b = 0; b < rig::kBoneCount; ++b) {
            sm::Vec3 p = origin(show.bone(b));
            if (k > 1 && !firstOfPath) {
                float d = sm::length(p - last[static_cast<std::size_t>(b)]);
                if (d > worstJump) worstJump = d, worstJumpAt = t, worstJumpBone = b;
            }
            last[static_cast<std::size_t>(b)] = p;
        }
    }
    EXPECT_LT(worstMug, 3.0f) << "the mug leaves his grip at " << worstMugAt << " s";
    EXPECT_LT(worstECig, 3.0f) << "the e-cigarette leaves his grip at " << worstECigAt << " s";
    EXPECT_LT(chairDrift, 3.0f) << "the chair slips in his hands";
    for (int b = 0; b < 2; ++b) {
        EXPECT_NEAR(bangLowest[b], desk, 1.5f) << "bang " << b + 1 << ": the fists miss the desk top";
    }
    EXPECT_GT(runFrames, 50 * 60);
    for (int f = 0; f < 2; ++f) {
        SCOPED_TRACE(f == 0 ? "left foot" : "right foot");
        EXPECT_GT(watch[f].stances, 50);
        EXPECT_LT(watch[f].worst, 2.0f) << "slides at " << watch[f].worstAt << " s";
    }
    // 60 frames a second: 30 units a frame is 18 m/s, far beyond any move.
    EXPECT_LT(worstJump, 30.0f) << rig::kBones[worstJumpBone].name << " jumps at " << worstJumpAt << " s";
}

TEST(Robot, HandsTakeTheMugAndTheECigaretteFromTheDeskAndPutThemBackUpright)
{
    Show show;
    ASSERT_TRUE(show.load());
    using world::Side;
    namespace office = world::office;
    const float desk = world::layout::kDeskSize.y;
    const Mesh* mug = show.prop("kubek", "kubek");
    const Mesh* ecig = show.prop("epapieros", "epapieros");
    ASSERT_TRUE(mug && ecig);
    struct Moment {
        float t;
        const Mesh* thing;
        Side hand;
        float restHeight;  // of the held point over the desk top when it stands there
        bool upright;
        const char* what;
    };
    const Moment moments[] = {
        {office::kMugPickUp, mug, Side::Right, 5.0f, true, "mug picked up"},
        {office::kMugPutDown, mug, Side::Right, 5.0f, true, "mug put down"},
        {office::kECigPickUp, ecig, Side::Left, 1.3f, false, "e-cigarette picked up"},
        {office::kECigPutDown, ecig, Side::Left, 1.3f, false, "e-cigarette put down"},
    };
    float t = 0.0f;
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.what);
        while (t < m.t - 1e-4f) show.frame(t = std::min(m.t, t + 1.0f / 60.0f));
        sm::Vec3 at = origin(m.thing->nodeMatrixValue);
        EXPECT_LT(sm::length(at - show.grip(m.hand)), 3.0f) << "the hand does not reach it";
        EXPECT_NEAR(at.y - desk, m.restHeight, 1.0f) << "it does not stand on the desk";
        // Its own Y axis: up for the mug, level for the lying e-cigarette.
        const sm::Mat4& n = m.thing->nodeMatrixValue;
        float up = n.a[5] / std::sqrt(n.a[4] * n.a[4] + n.a[5] * n.a[5] + n.a[6] * n.a[6]);
        if (m.upright) {
            EXPECT_GT(up, 0.99f) << "the mug tilts on the desk";
        } else {
            EXPECT_LT(std::fabs(up), 0.1f) << "the e-cigarette does not lie flat";
        }
    }
}
