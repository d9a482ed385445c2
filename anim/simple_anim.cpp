#include "anim/simple_anim.h"

#include "anim/core/scene_node.h"
#include "content/geometry/geometry.h"

SimpleAnim::SimpleAnim(SceneNode* root, Geometry* geometry, float showTime, std::string name)
    : geometry_(geometry), root_(root), showTime_(showTime), name_(std::move(name)) {
    if (!usable()) return;
    root_->bindMeshes(geometry_->meshes);
    for (SubMesh* sub : geometry_->allSubMeshes) sub->hidden = true;
    for (const auto& mesh : geometry_->meshes) mesh->castShadows = true;
}

void SimpleAnim::update(float time, float dt) {
    if (!usable()) return;
    if (time > showTime_ && !started_) {
        started_ = true;
        for (SubMesh* sub : geometry_->allSubMeshes) sub->hidden = false;
    }
    root_->updateNode(time, dt, sm::identityMatrix());
}

const std::vector<SubMesh*>& SimpleAnim::submeshes() const {
    return usable() ? geometry_->allSubMeshes : GameObject::submeshes();
}

void SimpleAnim::dropLightmaps() {
    if (!usable()) return;
    for (SubMesh* sub : geometry_->allSubMeshes) sub->lightMap = nullptr;
}

void SimpleAnim::problems(std::vector<std::string>& out) const {
    const std::string what = name_.empty() ? std::string("an animated prop") : "\"" + name_ + "\"";
    if (!geometry_) out.push_back("no geometry for " + what + ": it is left out");
    if (!root_) out.push_back("no animation for " + what + ": it is left out");
}
