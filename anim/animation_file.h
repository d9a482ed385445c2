#pragma once

#include "anim/core/scene_node.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class BinaryCursor;

// Animation files: a tree of nodes with pivots and constant or keyed
// position, rotation and scale. Rotation keys are stored relative to the
// previous key, as an angle about an axis whose second and third components
// are exchanged (the third negated) and with the angle negated; the reader
// accumulates them into absolute orientations.

// Nodes nested deeper than this make a file malformed (a guard for the
// reader's recursion, far beyond any authored hierarchy).
inline constexpr int kMaxAnimationDepth = 256;

// Builds the tree of an animation file under a fresh unnamed root, with no
// GL. A malformed file (a record cut short, a negative count, nesting deeper
// than kMaxAnimationDepth) gives null and, when error is given, the reason.
std::unique_ptr<SceneNode> parseAnimation(const std::uint8_t* data, std::size_t size, std::string* error = nullptr);

// Reads and parses the file at path.
std::unique_ptr<SceneNode> readAnimationFile(const std::string& path, std::string* error = nullptr);

// The engine's loader: a new root node, or null.
SceneNode* loadAnimation(const std::string& path);

// One stored rotation key (angle and the three stored axis components)
// applied to the accumulated orientation, as the reader does it.
sm::Quat accumulateRotationKey(float angle, float a1, float a2, float a3, sm::Quat accumulated);
// A stored constant rotation as the reader turns it into a quaternion.
sm::Quat decodeConstantRotation(float angle, float a1, float a2, float a3);
