#pragma once
// The robot's office chair: a five-castor base and a seat with a tall back,
// two meshes so the seat can swivel. Local frames: the base stands on the
// floor at its origin; the seat's origin is the top of the seat cushion's
// centre, its front towards +Z.
#include "tools/model/model.h"

namespace world {

inline constexpr float kSeatHeight = 48.0f;

// Adds the meshes "chair_base" (id baseId) and "chair_seat" (id seatId).
void addChairMeshes(model::Model& m, int baseId, int seatId);

} // namespace world
