#include "demo/robot.h"

#include "anim/core/scene_node.h"
#include "anim/simple_clip.h"
#include "anim/track_clip.h"
#include "anim/wheel_clip.h"
#include "content/content_manager.h"
#include "content/geometry/geometry.h"

namespace {

// The walk cycle every running clip plays while the robot follows its path.
constexpr const char* kWalkCycle = "run";

}  // namespace

Robot::Robot(const ContentManager& content, CreditsDance* credits) : content_(content), credits_(credits) {}

void Robot::init() {
    geometry_ = content_.findGeometry("bind_pose");
    skeleton_ = content_.findAnimation("bind_pose");
    if (skeleton_ && geometry_) skeleton_->bindMeshes(geometry_->meshes);

    SceneNode* walkCycle = content_.findAnimation(kWalkCycle);
    noWalkCycle_ = !walkCycle;
    for (std::size_t i = 0; i < kClips.size(); ++i) {
        const ClipEntry& entry = kClips[i];
        SceneNode* animation = content_.findAnimation(entry.name);
        noAnimation_[i] = !animation;
        switch (entry.kind) {
        case ClipKind::Wheel: {
            Geometry* vehicle = content_.findGeometry(entry.name);
            noVehicle_[i] = !vehicle;
            schedule_.add(std::make_unique<WheelClip>(skeleton_, animation, vehicle));
            break;
        }
        case ClipKind::Simple: schedule_.add(std::make_unique<SimpleClip>(skeleton_, animation)); break;
        case ClipKind::Track: schedule_.add(std::make_unique<TrackClip>(skeleton_, walkCycle, animation)); break;
        }
    }
    for (std::size_t i = 0; i < schedule_.size(); ++i) {
        schedule_.clip(i).stop();
        schedule_.clip(i).collectSubMeshes(submeshes_);
    }
    if (geometry_) {
        submeshes_.insert(submeshes_.end(), geometry_->allSubMeshes.begin(), geometry_->allSubMeshes.end());
        for (const auto& mesh : geometry_->meshes) mesh->castShadows = true;
    }
}

void Robot::update(float time, float dt) { schedule_.update(time, dt); }

void Robot::dropLightmaps() {
    for (SubMesh* sub : submeshes_) sub->lightMap = nullptr;
}

void Robot::problems(std::vector<std::string>& out) const {
    if (!geometry_) out.push_back("no geometry \"bind_pose\": the robot is not drawn");
    if (!skeleton_) out.push_back("no animation \"bind_pose\": the robot does not move");
    if (noWalkCycle_) out.push_back(std::string("no animation \"") + kWalkCycle + "\": the robot does not run");
    // Every missing piece is named, also where another one already stops the
    // clip; what else keeps a clip from playing is told once its content is
    // all there.
    for (std::size_t i = 0; i < schedule_.size() && i < kClips.size(); ++i) {
        const ClipEntry& entry = kClips[i];
        const std::string clip = std::string("robot clip \"") + entry.name + "\": ";
        if (noAnimation_[i]) out.push_back(clip + "no animation \"" + entry.name + "\"");
        if (noVehicle_[i]) out.push_back(clip + "no geometry \"" + entry.name + "\": the vehicle is not shown");
        const bool complete = !noAnimation_[i] && !noVehicle_[i] && skeleton_ &&
                              (entry.kind != ClipKind::Track || !noWalkCycle_);
        if (!complete) continue;
        if (const char* problem = schedule_.clip(i).problem()) out.push_back(clip + problem);
    }
}
