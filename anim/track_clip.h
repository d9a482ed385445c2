#pragma once

#include "anim/animation_clip.h"
#include "math/mat4.h"
#include "math/vec.h"

class SceneNode;

// Walks a character along a path: the path's point (the first child of the
// track tree's root) carries the skeleton, the skeleton faces the direction
// of travel on the floor, and the walk cycle advances by the distance
// travelled: 0.4 of a cycle per 412 units, so one cycle covers 1030 units.
class TrackClip : public IAnimationClip {
public:
    // Null for any tree, or a track tree without a child, makes an inert
    // clip. A walk cycle without keys keeps the skeleton in its one pose.
    TrackClip(SceneNode* target, SceneNode* walkSource, SceneNode* track);

    // Moves the walk cycle's tracks onto the target. The distance and cycle
    // position carry on from the last frame the clip played.
    void start() override;
    void stop() override {}
    void update(float time, float dt) override;
    // The track's latest key time (0 without a track).
    float endTime() override;
    void collectSubMeshes(std::vector<SubMesh*>&) override {}
    const char* problem() const override;

    sm::Vec3 lastPosition() const { return lastPosition_; }
    float cycleTime() const { return cycleTime_; }
    float cycleLength() const { return cycleLength_; }

private:
    bool playable() const;

    SceneNode* target_;
    SceneNode* walkSource_;
    SceneNode* track_;
    sm::Vec3 lastPosition_{0.0f, 0.0f, 0.0f};
    float cycleTime_ = 0.0f;
    float cycleLength_ = 0.0f;
    // The orientation of the last frame that moved: a frame without movement
    // has no direction of travel and keeps it (upright, facing +Z, before
    // the first move).
    sm::Mat4 facing_;
};
