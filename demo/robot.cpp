#include "demo/robot.h"

#include "anim/core/scene_node.h"
#include "anim/simple_clip.h"
#include "anim/track_clip.h"
#include "anim/wheel_clip.h"
#include "content/content_manager.h"
#include "content/geometry/geometry.h"

Robot::Robot(const ContentManager& content, CreditsDance* credits) : content_(content), credits_(credits) {}

void Robot::init() {
    geometry_ = content_.findGeometry("bind_pose");
    skeleton_ = content_.findAnimation("bind_pose");
    if (skeleton_ && geometry_) skeleton_->bindMeshes(geometry_->meshes);

    SceneNode* walkCycle = content_.findAnimation("run");
    for (const ClipEntry& entry : kClips) {
        SceneNode* animation = content_.findAnimation(entry.name);
        switch (entry.kind) {
        case ClipKind::Wheel:
            schedule_.add(std::make_unique<WheelClip>(skeleton_, animation, content_.findGeometry(entry.name)));
            break;
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
    if (!skeleton_) {
        out.push_back("no animation \"bind_pose\": the robot does not move");
        return;
    }
    for (std::size_t i = 0; i < schedule_.size() && i < kClips.size(); ++i)
        if (const char* problem = schedule_.clip(i).problem())
            out.push_back(std::string("robot clip \"") + kClips[i].name + "\": " + problem);
}
