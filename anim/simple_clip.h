#pragma once

#include "anim/animation_clip.h"

class SceneNode;

// Plays a loaded animation on a skeleton at the demo time itself (the
// animation's key times are demo times).
class SimpleClip : public IAnimationClip {
public:
    // Null for either tree makes an inert clip.
    SimpleClip(SceneNode* target, SceneNode* source);

    // Moves the source's tracks onto the target's equally named nodes.
    void start() override;
    void stop() override {}
    void update(float time, float dt) override;
    // The source's latest key time (0 without a source).
    float endTime() override;
    void collectSubMeshes(std::vector<SubMesh*>&) override {}
    const char* problem() const override;

private:
    SceneNode* target_;
    SceneNode* source_;
};
