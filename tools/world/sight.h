#pragma once
// Lines of sight through the set, for placing cameras: whether a camera may
// stand somewhere (inside the hall, clear of every surface, not inside a
// machine or a wall) and whether it sees a point.
#include "tools/bake/ray_scene.h"
#include "tools/model/model.h"

#include <vector>

namespace world {

class Sight {
public:
    // Every opaque surface of the models blocks the view; glass and helpers
    // do not.
    explicit Sight(const std::vector<const model::Model*>& models);

    // Inside the hall, at least `clearance` from every surface, in the open.
    bool canStand(sm::Vec3 eye, float clearance = 25.0f) const;
    // Nothing of the set lies between the eye and the point (the last
    // `slack` units before the point do not count: what he touches).
    bool sees(sm::Vec3 eye, sm::Vec3 point, float slack = 8.0f) const;

private:
    bake::RayScene scene_;
};

} // namespace world
