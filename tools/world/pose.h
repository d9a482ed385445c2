#pragma once
// Poses of the robot's skeleton and their keying into animation trees.
#include "tools/world/robot_rig.h"

#include "anim/core/scene_node.h"
#include "math/quat.h"

#include <array>
#include <utility>
#include <vector>

namespace world {

struct Pose {
    sm::Vec3 hip;                                // the hip's position in its parent's frame
    std::array<sm::Quat, rig::kBoneCount> turn;  // every bone's rotation (the hip's: the body's)
};

using PoseKeys = std::vector<std::pair<float, Pose>>;

// Standing upright, facing yawDegrees from +Z (about +Y), hip at `hip`.
Pose standing(sm::Vec3 hip, float yawDegrees);
// Seated on a seat (hip relative to the seat, facing the seat's +Z).
Pose seated();

// Adds the whole skeleton under parent with a key per pose (every bone a
// rotation key, the hip a position key); with ids the nodes carry the bone
// ids (the bind pose), without them id 0 (sources of riding clips).
SceneNode& addSkeleton(SceneNode& parent, const PoseKeys& keys, bool withIds);
// The bind-pose skeleton: rest offsets as constants, no keys.
SceneNode& addRestSkeleton(SceneNode& parent);

} // namespace world
