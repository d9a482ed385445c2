#pragma once

#include <array>
#include <bitset>

#include "anim/clip_schedule.h"
#include "anim/game_object.h"

class ContentManager;
class CreditsDance;
class Geometry;
class SceneNode;

// The robot: its bind-pose skeleton plays sixteen clips once, in a fixed
// order, each until its end time on the demo timeline.
class Robot : public GameObject {
public:
    enum class ClipKind { Wheel, Simple, Track };
    struct ClipEntry {
        const char* name;
        ClipKind kind;
    };
    // Riding clips bring the vehicle of their name (animation and geometry),
    // plain clips play the animation of their name on the skeleton, walking
    // clips follow the path of their name with the walk cycle "run".
    static constexpr std::array<ClipEntry, 16> kClips{{
        {"writting", ClipKind::Wheel},     {"go_to_posters", ClipKind::Wheel},
        {"back_to_cigarette", ClipKind::Wheel}, {"whisky", ClipKind::Wheel},
        {"cigarette", ClipKind::Wheel},    {"angry", ClipKind::Wheel},
        {"porazenie", ClipKind::Wheel},    {"throw", ClipKind::Simple},
        {"run01", ClipKind::Track},        {"run02", ClipKind::Track},
        {"branch", ClipKind::Simple},      {"run021", ClipKind::Track},
        {"jump", ClipKind::Simple},        {"flip", ClipKind::Simple},
        {"run03", ClipKind::Track},        {"credits_dance", ClipKind::Simple},
    }};

    // credits is kept for the show's other parts; the robot does not use it.
    Robot(const ContentManager& content, CreditsDance* credits);

    // Looks up the bind pose (geometry and animation "bind_pose") and every
    // clip's content, builds the clips, stops each once, and gathers the
    // vehicles' submeshes, then the robot's own (all shadow casters).
    void init() override;
    void update(float time, float dt) override;
    // The vehicles' submeshes, then the robot's.
    const std::vector<SubMesh*>& submeshes() const override { return submeshes_; }
    // The robot is never light-mapped: it moves.
    void dropLightmaps() override;
    void problems(std::vector<std::string>& out) const override;

    const ClipSchedule& schedule() const { return schedule_; }
    SceneNode* skeleton() const { return skeleton_; }
    CreditsDance* credits() const { return credits_; }

private:
    const ContentManager& content_;
    CreditsDance* credits_;
    Geometry* geometry_ = nullptr;
    SceneNode* skeleton_ = nullptr;
    // What init found missing, kept for the problem report.
    bool noWalkCycle_ = false;
    std::bitset<kClips.size()> noAnimation_;
    std::bitset<kClips.size()> noVehicle_;
    ClipSchedule schedule_;
    std::vector<SubMesh*> submeshes_;
};
