#include "anim/simple_clip.h"

#include "anim/core/scene_node.h"

SimpleClip::SimpleClip(SceneNode* target, SceneNode* source) : target_(target), source_(source) {}

void SimpleClip::start() {
    if (target_ && source_) target_->copyTracksFrom(*source_);
}

void SimpleClip::update(float time, float dt) {
    if (target_ && source_) target_->updateNode(time, dt, sm::identityMatrix());
}

float SimpleClip::endTime() { return source_ ? source_->duration() : 0.0f; }

const char* SimpleClip::problem() const {
    if (!source_) return "no animation";
    if (!target_) return "no skeleton to play it on";
    return nullptr;
}
