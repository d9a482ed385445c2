#pragma once

#include "anim/core/scene_node.h"

#include <cstdint>
#include <string>
#include <vector>

// Encodes the tree under root as an animation file: root's children are the
// top-level nodes; root itself is the unnamed node the reader creates and
// must be one (id 0, empty name, identity pivot, default constants, no
// tracks). Every node's position, rotation and scale become keys when the
// node has a track with keys and constants otherwise. Rotations are stored as
// the reader expects them (relative keys, exchanged axis, negated angle), so
// reading the file gives back the absolute orientations held here, within
// float rounding (orientations come back normalised). Refused, with the reason
// in error: a root that is not the reader's, a track other than a TCB curve,
// a key with the step flag set, a zero rotation quaternion, nesting deeper
// than the reader accepts.
bool writeAnimation(const SceneNode& root, std::vector<std::uint8_t>& out, std::string* error = nullptr);

// writeAnimation, then the bytes to path.
bool saveAnimation(const SceneNode& root, const std::string& path, std::string* error = nullptr);

// The stored form of one rotation: angle and the three axis components as
// the file holds them.
struct StoredRotation {
    float angle = 0, a1 = 0, a2 = 0, a3 = 0;
};
// Encodes the relative rotation key that turns previous into target.
StoredRotation encodeRotationKey(sm::Quat target, sm::Quat previous);
// Encodes a constant rotation.
StoredRotation encodeConstantRotation(sm::Quat q);
