#include "tools/world/chair.h"

#include "tools/model/primitives.h"
#include "tools/model/transform.h"

#include <cmath>

namespace world {

using namespace model;

void addChairMeshes(Model& m, int baseId, int seatId)
{
    ModelMesh& base = m.addMesh("chair_base", baseId);
    // Gas column and five legs with castors.
    base.add(transformed(cylinder("chair_metal", 3.0f, kSeatHeight - 14.0f, 12), translate(0, 10, 0)));
    base.add(transformed(cylinder("chair_metal", 4.5f, 10.0f, 12), translate(0, 4.0f, 0)));
    for (int i = 0; i < 5; ++i) {
        float a = 72.0f * static_cast<float>(i);
        base.add(transformed(bevelBox("chair_metal", {5, 3, 30}, 1.0f), rotateY(a) * translate(0, 8, 16)));
        base.add(transformed(sphere("rubber_black", 3.5f, 10, 6), rotateY(a) * translate(0, 3.5f, 30)));
    }
    ModelMesh& seat = m.addMesh("chair_seat", seatId);
    // Cushion, tall back, the plate under the seat and arm rests.
    seat.add(transformed(bevelBox("chair_fabric", {50, 9, 48}, 3.0f), translate(0, -4.5f, 0)));
    seat.add(transformed(bevelBox("chair_metal", {30, 3, 30}, 1.0f), translate(0, -10.5f, 0)));
    seat.add(transformed(bevelBox("chair_fabric", {46, 60, 8}, 3.0f), translate(0, 38, -24) * rotateX(-8)));
    seat.add(transformed(bevelBox("chair_metal", {6, 30, 4}, 1.0f), translate(0, 8, -24)));
    for (float side : {-1.0f, 1.0f}) {
        seat.add(transformed(bevelBox("chair_metal", {3, 18, 3}, 0.8f), translate(side * 24, 6, 2)));
        seat.add(transformed(bevelBox("rubber_black", {6, 3, 26}, 1.0f), translate(side * 24, 16, 4)));
    }
}

} // namespace world
