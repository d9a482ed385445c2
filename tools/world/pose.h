#pragma once
// Poses of the robot's skeleton: joint rotations and the hip's place, their
// world frames (forward kinematics, composed as the engine composes nodes),
// two-bone inverse kinematics for arms and legs, aiming the head, and the
// keying of poses into animation trees.
#include "tools/world/robot_rig.h"

#include "anim/core/scene_node.h"
#include "math/mat4.h"
#include "math/quat.h"

#include <array>
#include <utility>
#include <vector>

namespace world {

struct Pose {
    sm::Vec3 hip;                                // the hip's position in its parent's frame
    std::array<sm::Quat, rig::kBoneCount> turn;  // every bone's rotation (the hip's: the body's)
    float eyes = 1.0f;                           // 1 open, 0 shut
};

using PoseKeys = std::vector<std::pair<float, Pose>>;
using Frames = std::array<sm::Mat4, rig::kBoneCount>;

enum class Side { Left, Right };

// Standing upright, facing yawDegrees from +Z (about +Y), hip at `hip`.
Pose standing(sm::Vec3 hip, float yawDegrees);
// Seated on a seat (hip relative to the seat, facing the seat's +Z): thighs
// level, shins down, hands resting on the thighs.
Pose seated();

// The world frame of every bone, the hip placed under `root`.
Frames forward(const Pose& pose, const sm::Mat4& root);
sm::Vec3 origin(const sm::Mat4& m);
// The rotation part of a frame.
sm::Quat rotationOf(const sm::Mat4& m);
sm::Mat4 rotationMatrix(sm::Quat q);
// A rotation from its frame's axes (columns).
sm::Quat rotationFromAxes(sm::Vec3 x, sm::Vec3 y, sm::Vec3 z);
// A hand's world rotation: fingers along `fingers`, the thumb side towards
// `thumb` (made square to the fingers).
sm::Quat handRotation(sm::Vec3 fingers, sm::Vec3 thumb);
// A foot's world rotation: toes along `toes` on the floor (level), tipped up
// at the toe by pitchDegrees.
sm::Quat footRotation(sm::Vec3 toes, float pitchDegrees = 0.0f);

// Two-bone inverse kinematics. The hand's grip point (rig::kGripL/R) goes
// to `grip` with the hand turned to `hand` (world rotation), the elbow
// pointing towards `elbow` (a world direction). Out of reach the arm
// stretches towards it; returns how far the grip stays from the target.
float reachGrip(Pose& pose, const sm::Mat4& root, Side side, sm::Vec3 grip, sm::Quat hand, sm::Vec3 elbow);
// The same for the wrist itself.
float reachWrist(Pose& pose, const sm::Mat4& root, Side side, sm::Vec3 wrist, sm::Quat hand, sm::Vec3 elbow);
// The ankle to `ankle` with the foot turned to `foot` (world rotation), the
// knee pointing towards `knee`.
float placeAnkle(Pose& pose, const sm::Mat4& root, Side side, sm::Vec3 ankle, sm::Quat foot, sm::Vec3 knee);
// Sets a bone's rotation so that its world rotation becomes `world`.
void setWorldRotation(Pose& pose, const sm::Mat4& root, int bone, sm::Quat world);
// Turns the neck and head so the eyes look at `target`; `share` of the turn
// goes to the neck.
void lookAt(Pose& pose, const sm::Mat4& root, sm::Vec3 target, float share = 0.4f);
// Curls a hand's fingers and thumb: 0 open, 1 a closed fist (0.6 holds a mug).
void curl(Pose& pose, Side side, float amount);

// Adds the whole skeleton under parent with a key per pose (every bone a
// rotation key, the hip a position key, the eyes a scale key); with ids the
// nodes carry the bone ids (the bind pose), without them id 0 (sources of
// riding clips).
SceneNode& addSkeleton(SceneNode& parent, const PoseKeys& keys, bool withIds);
// The bind-pose skeleton: rest offsets as constants, no keys.
SceneNode& addRestSkeleton(SceneNode& parent);

} // namespace world
