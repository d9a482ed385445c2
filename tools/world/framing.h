#pragma once
// Framing with the show's projection: a horizontal field of view over a 16:9
// picture. What a camera at an eye looking at a target holds in frame, and the
// field of view that holds a set of spheres.
#include "math/mat4.h"
#include "math/vec.h"

#include <vector>

namespace world {

inline constexpr float kShowAspect = 16.0f / 9.0f;

struct Sphere {
    sm::Vec3 centre;
    float radius = 0.0f;
};

// Where a sphere lands in the picture: its centre in normalised picture
// coordinates (-1 to 1 across and up) and its radius there (across and up);
// `ahead` is false when any of it is behind the eye.
struct Projected {
    float x = 0.0f, y = 0.0f, rx = 0.0f, ry = 0.0f;
    bool ahead = false;
};
Projected project(const sm::Mat4& view, float fovX, Sphere s);
// The sphere lies inside `fill` of the picture (1: the whole picture).
bool inFrame(const sm::Mat4& view, float fovX, Sphere s, float fill = 1.0f);

// The horizontal field of view (radians) at which every sphere lies inside
// `fill` of the picture, seen from the eye looking at the target.
float fitFov(sm::Vec3 eye, sm::Vec3 target, const std::vector<Sphere>& spheres, float fill);

// The eye `distance` from `anchor` in the direction given by an azimuth about
// +Y from `front` (degrees, towards the subject's left) and an elevation above
// the horizon (degrees).
sm::Vec3 orbit(sm::Vec3 anchor, sm::Vec3 front, float azimuthDegrees, float elevationDegrees, float distance);

} // namespace world
