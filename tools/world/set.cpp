#include "tools/world/set.h"

#include "tools/model/primitives.h"
#include "tools/model/transform.h"
#include "tools/world/layout.h"

#include <cmath>

namespace world {

using namespace model;
namespace L = layout;

Model buildFactory()
{
    Model m;
    ModelMesh& hall = m.addMesh("factory_hall", 1);
    Shape floor = transformed(box("floor_concrete", {2 * L::kHallHalfX, 20, 2 * L::kHallHalfZ}, kPosY),
                              translate(0, -10, 0));
    hall.add(floor);
    Shape walls = box("wall_concrete", {2 * L::kHallHalfX, L::kHallHeight, 2 * L::kHallHalfZ}, kAllFaces & ~kNegY);
    turnInsideOut(walls);
    hall.add(transformed(walls, translate(0, L::kHallHeight * 0.5f, 0)));
    ModelMesh& desk = m.addMesh("factory_desk", 2);
    desk.add(transformed(box("wood_desk", L::kDeskSize, kAllFaces & ~kNegY),
                         translate(L::kDeskCentre + sm::Vec3{0, L::kDeskSize.y * 0.5f, 0})));
    ModelMesh& props = m.addMesh("factory_props", 3);
    for (int i = 0; i < 5; ++i)
        props.add(transformed(box("wood_desk", {L::kCrateSize, L::kCrateSize, L::kCrateSize}, kAllFaces & ~kNegY),
                              translate(L::kCrateRowX, L::kCrateSize * 0.5f,
                                        L::kCrateRowZ0 + (L::kCrateRowZ1 - L::kCrateRowZ0) * float(i) / 4.0f)));
    props.add(transformed(box("paint_green", L::kPlatformSize, kAllFaces & ~kNegY),
                          translate(L::kPlatformCentre + sm::Vec3{0, L::kPlatformSize.y * 0.5f, 0})));
    Shape pipe = cylinder("steel_rusty", 12, L::kSwingPipeZ1 - L::kSwingPipeZ0, 16);
    props.add(transformed(pipe, translate(L::kSwingPipeX, L::kSwingPipeY, L::kSwingPipeZ0) * rotateX(90)));
    ModelMesh& lamps = m.addMesh("factory_lamps", 4);
    for (int i = 0; i < L::kLampRingCount; ++i) {
        float a = 360.0f * float(i) / float(L::kLampRingCount);
        lamps.add(transformed(sphere("glow_bulb", 12, 12, 6),
                              translate(L::kStageCentre + sm::Vec3{0, L::kLampRingHeight, 0}) * rotateY(a) *
                                  translate(L::kLampRingRadius, 0, 0)));
    }
    return m;
}

sm::Mat4 fanHubFrame()
{
    // The fan hangs on the west wall and blows east: its axis is +X.
    return frame({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, L::kFanHub);
}

Model buildFan()
{
    Model m;
    m.version = 1;
    const sm::Mat4 hub = fanHubFrame();
    ModelMesh& blades = m.addMesh("fan_blades", 1);
    blades.fileTransform = sm::inverse(hub);
    for (int i = 0; i < 4; ++i) {
        Shape blade = bevelBox("steel_brushed", {4, L::kFanRadius - 20, 40}, 1.0f);
        transform(blade, rotateX(90.0f * float(i)) * translate(20, (L::kFanRadius + 20) * 0.5f, 0) * rotateY(12));
        blades.add(transformed(blade, hub));
    }
    Shape cap = sphere("paint_green", 24, 16, 8);
    blades.add(transformed(cap, hub));
    return m;
}

} // namespace world
