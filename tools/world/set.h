#pragma once
// The static set ("factory", vertices in world space) and the big wall fan
// ("fan": version-1 geometry whose file transforms map the world to the
// hub's frame, the blades spinning about the hub's x axis).
#include "tools/model/model.h"

#include <vector>

namespace world {

model::Model buildFactory();
model::Model buildFan();
// The fan's hub frame (columns: spin axis, up, side; origin at the hub).
sm::Mat4 fanHubFrame();

// The hanging lamps of the hall: where each bulb glows.
struct HangingLamp {
    sm::Vec3 bulb;
    bool overStage;  // the ring over the dance stage
};
std::vector<HangingLamp> hangingLamps();

} // namespace world
