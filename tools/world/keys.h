#pragma once
// Building animation trees in code: nodes, keys in time order, and the
// rotation helpers the clips and cameras use.
#include "anim/core/scene_node.h"
#include "math/mat4.h"
#include "math/quat.h"

#include <memory>
#include <string>

namespace world {

// A new child of parent (owned by it).
SceneNode& addNode(SceneNode& parent, const std::string& name, int id = 0);
// Keys, appended in increasing time (smooth TCB curves). Rotation keys are
// kept on the side of the previous key, so the curve takes the short way.
void keyPosition(SceneNode& node, float time, sm::Vec3 p);
void keyRotation(SceneNode& node, float time, sm::Quat q);
void keyScale(SceneNode& node, float time, sm::Vec3 s);

sm::Quat axisAngle(sm::Vec3 axis, float degrees);
// Yaw about +Y, then pitch about +X, then roll about +Z, applied in the
// order roll, pitch, yaw (a character turned by yaw, leaning by pitch).
sm::Quat eulerYXZ(float yawDegrees, float pitchDegrees, float rollDegrees);
// The rotation of an orthonormal matrix (upper 3x3).
sm::Quat quatFromMatrix(const sm::Mat4& m);
sm::Quat slerp(sm::Quat a, sm::Quat b, float t);

// The node transform that gives a camera the view of an eye at `eye` looking
// at `target` with world +Y up: position eye and the returned rotation.
sm::Quat cameraRotation(sm::Vec3 eye, sm::Vec3 target);
// The view matrix of that camera (what the engine derives from its node).
sm::Mat4 lookAtView(sm::Vec3 eye, sm::Vec3 target);

} // namespace world
