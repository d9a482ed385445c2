#include "anim/wheel_clip.h"

#include "anim/core/scene_node.h"
#include "content/geometry/geometry.h"

WheelClip::WheelClip(SceneNode* rider, SceneNode* vehicle, Geometry* geometry)
    : rider_(rider), vehicle_(vehicle), geometry_(geometry) {
    if (!rider_ || !vehicle_) return;
    if (geometry_) vehicle_->bindMeshes(geometry_->meshes);
    // The end is the vehicle file's own: taken before the rider's subtree
    // hangs below the seat.
    endTime_ = vehicle_->duration();
    SceneNode* hip = rider_->findChild("Hip");
    SceneNode* seat = vehicle_->findChild("quellon858");
    if (!seat) seat = vehicle_->findChild("rama wozka");
    hasHip_ = hip != nullptr;
    if (hip && seat) {
        seat->appendChild(hip);
        seated_ = true;
    }
    if (geometry_)
        for (const auto& mesh : geometry_->meshes) mesh->castShadows = true;
}

void WheelClip::setHidden(bool hidden) {
    if (!geometry_) return;
    for (SubMesh* sub : geometry_->allSubMeshes) sub->hidden = hidden;
}

void WheelClip::start() {
    if (!rider_ || !vehicle_) return;
    setHidden(false);
    rider_->copyTracksFrom(*vehicle_);
}

void WheelClip::stop() { setHidden(true); }

void WheelClip::update(float time, float dt) {
    if (vehicle_ && rider_) vehicle_->updateNode(time, dt, sm::identityMatrix());
}

float WheelClip::endTime() { return endTime_; }

void WheelClip::collectSubMeshes(std::vector<SubMesh*>& list) {
    if (!rider_ || !vehicle_ || !geometry_) return;
    list.insert(list.end(), geometry_->allSubMeshes.begin(), geometry_->allSubMeshes.end());
}

const char* WheelClip::problem() const {
    if (!vehicle_) return "no vehicle animation";
    if (!rider_) return "no rider skeleton";
    if (!hasHip_) return "the rider has no \"Hip\" node: the rider is not carried";
    if (!seated_) return "the vehicle has no seat node \"quellon858\" or \"rama wozka\": the rider is not carried";
    if (!geometry_) return "no vehicle geometry: the vehicle is not shown";
    return nullptr;
}
