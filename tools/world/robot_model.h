#pragma once
// The robot's body: one mesh per bone of the skeleton, each modelled in its
// bone's frame and bound to it by the bone's id (the "bind_pose" geometry).
#include "tools/model/model.h"
#include "tools/world/pose.h"

namespace world {

model::Model robotModel();

} // namespace world
