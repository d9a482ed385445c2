#pragma once
// The throw's plan, shared by the clip (his hands on the chair) and the
// flying chair (keyed from his evaluated hands until he lets go).
#include "tools/world/robot_clips.h"

namespace world {

// When he takes hold of the chair and when he lets it go.
inline constexpr float kChairGrab = 135.8f, kChairRelease = 137.25f;

struct ThrowPlan {
    ChairState chair;  // where the chair stands when the show brings it in
    float grab = 0.0f, release = 0.0f;
    sm::Vec3 landing;  // where it first hits the floor
    sm::Vec3 rest;     // where it ends up
};
const ThrowPlan& throwPlan();
// The seat frame of the chair as the clip moves it in his hands.
sm::Mat4 designedSeat(float t);
// His hip's point on the floor while he handles the chair.
sm::Vec3 throwHipFloor(float t);

} // namespace world
