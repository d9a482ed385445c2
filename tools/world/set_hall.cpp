// The hall itself: floor and lanes, walls with the window row and the door
// opening, the roof and its trusses, the columns and crane rails, the crane,
// the hanging lamps, the fan's housing and the views out of the hall.
#include "tools/world/layout.h"
#include "tools/world/set.h"
#include "tools/world/set_parts.h"

#include <cmath>

namespace world {

using namespace model;
namespace L = layout;

namespace {

constexpr float kBrickTop = 450.0f;  // brick below, concrete above

// A piece of wall between the given bounds, brick below kBrickTop and
// concrete above; `faces` leaves out the side nobody sees.
void wallPiece(ModelMesh& mesh, float x0, float x1, float y0, float y1, float z0, float z1, unsigned faces)
{
    auto piece = [&](const char* material, float a, float b) {
        if (b - a < 0.01f) return;
        Shape s = box(material, {x1 - x0, b - a, z1 - z0}, faces);
        mesh.add(at(s, translate((x0 + x1) * 0.5f, (a + b) * 0.5f, (z0 + z1) * 0.5f)));
    };
    piece("wall_brick", y0, std::min(y1, kBrickTop));
    piece("wall_concrete", std::max(y0, kBrickTop), y1);
}

// A painted strip on the floor from a to b (along x or z).
void lane(ModelMesh& mesh, float x0, float z0, float x1, float z1, float width)
{
    float len = std::hypot(x1 - x0, z1 - z0);
    float yaw = std::atan2(x1 - x0, z1 - z0) * 57.29578f;
    mesh.add(at(box("floor_lane", {width, 0.6f, len}, kPosY), place({(x0 + x1) * 0.5f, 0.0f, (z0 + z1) * 0.5f}, yaw)));
}

} // namespace

void addHall(Model& m)
{
    const float hx = L::kHallHalfX, hz = L::kHallHalfZ, H = L::kHallHeight, T = L::kWallThickness;
    // Floor, with a yard outside the doors.
    ModelMesh& floor = m.addMesh("hall_floor", 10);
    floor.lightmapTexel = 8.0f;
    floor.add(at(box("floor_concrete", {2 * hx, 20, 2 * hz}, kPosY), translate(0, -10, 0)));
    floor.add(at(box("floor_concrete", {1600, 20, 700}, kPosY), translate(0, -10.5f, -hz - T - 350)));
    // Walkway lanes: along the machines, along the windows, across the west end, to the doors.
    for (float z : {-840.0f, -640.0f}) lane(floor, -1300, z, 1900, z, 12);
    for (float z : {820.0f, 1020.0f}) lane(floor, -1900, z, 1900, z, 12);
    for (float x : {-1320.0f, -1120.0f}) lane(floor, x, -640, x, 820, 12);
    for (float x : {-260.0f, 260.0f}) lane(floor, x, -1250, x, -840, 12);
    // The dance stage: a painted ring.
    floor.add(at(lathe("floor_lane", {{L::kStageRadius, 0.35f}, {L::kStageRadius - 14.0f, 0.35f}}, 64),
                 translate(L::kStageCentre)));
    floor.add(at(lathe("floor_lane", {{40.0f, 0.35f}, {28.0f, 0.35f}}, 24), translate(L::kStageCentre)));

    ModelMesh& walls = m.addMesh("hall_walls", 11);
    walls.lightmapTexel = 10.0f;
    // North wall with the door opening.
    const float dw = L::kDoorWidth * 0.5f, dh = L::kDoorHeight;
    const unsigned north = kAllFaces & ~kNegZ, south = kAllFaces & ~kPosZ;
    wallPiece(walls, -hx - T, -dw, 0, H, -hz - T, -hz, north);
    wallPiece(walls, dw, hx + T, 0, H, -hz - T, -hz, north);
    wallPiece(walls, -dw, dw, dh, H, -hz - T, -hz, north);
    // South wall with the window row.
    wallPiece(walls, -hx - T, hx + T, 0, L::kWindowSill, hz, hz + T, south);
    wallPiece(walls, -hx - T, hx + T, L::kWindowHead, H, hz, hz + T, south);
    float left = -hx - T;
    for (int i = 0; i < L::kWindowCount; ++i) {
        float cx = (static_cast<float>(i) - 0.5f * (L::kWindowCount - 1)) * L::kWindowSpacing;
        wallPiece(walls, left, cx - L::kWindowWidth * 0.5f, L::kWindowSill, L::kWindowHead, hz, hz + T, south);
        left = cx + L::kWindowWidth * 0.5f;
        // Steel frame: outer frame, two mullions, a transom; the glass.
        const float w = L::kWindowWidth, h = L::kWindowHead - L::kWindowSill, cy = (L::kWindowSill + L::kWindowHead) * 0.5f;
        const float fz = hz + T * 0.5f;
        for (float dx : {-w / 6.0f, w / 6.0f}) walls.add(at(box("steel_rusty", {5, h, 8}), translate(cx + dx, cy, fz)));
        walls.add(at(box("steel_rusty", {w, 5, 8}), translate(cx, cy + 20.0f, fz)));
        for (float dy : {-h * 0.5f + 3.0f, h * 0.5f - 3.0f}) walls.add(at(box("steel_rusty", {w, 6, 10}), translate(cx, cy + dy, fz)));
        for (float dx : {-w * 0.5f + 3.0f, w * 0.5f - 3.0f}) walls.add(at(box("steel_rusty", {6, h, 10}), translate(cx + dx, cy, fz)));
        Shape glass = rectangle("window_glass", {w, h});
        walls.add(at(glass, translate(cx, cy, fz + 1.0f) * rotateY(180)));
    }
    wallPiece(walls, left, hx + T, L::kWindowSill, L::kWindowHead, hz, hz + T, south);
    // West and east walls.
    wallPiece(walls, -hx - T, -hx, 0, H, -hz, hz, kAllFaces & ~kNegX);
    wallPiece(walls, hx, hx + T, 0, H, -hz, hz, kAllFaces & ~kPosX);
    // A concrete plinth along the foot of the walls, and a band where brick meets concrete.
    for (int side = 0; side < 2; ++side) {
        float z = side == 0 ? -hz + 4.0f : hz - 4.0f;
        if (side == 0) {
            walls.add(at(box("wall_concrete", {hx - dw, 30, 8}, kAllFaces & ~kNegY), translate((-hx - dw) * 0.5f, 15, z)));
            walls.add(at(box("wall_concrete", {hx - dw, 30, 8}, kAllFaces & ~kNegY), translate((hx + dw) * 0.5f, 15, z)));
        } else {
            walls.add(at(box("wall_concrete", {2 * hx, 30, 8}, kAllFaces & ~kNegY), translate(0, 15, z)));
        }
        float x = side == 0 ? -hx + 4.0f : hx - 4.0f;
        walls.add(at(box("wall_concrete", {8, 30, 2 * hz}, kAllFaces & ~kNegY), translate(x, 15, 0)));
    }
    // The door frame: striped posts, a lintel and the track the doors hang from.
    for (float s : {-1.0f, 1.0f})
        walls.add(at(box("hazard", {24, dh, 30}, kAllFaces & ~kNegY), translate(s * (dw + 12), dh * 0.5f, -hz + 15)));
    walls.add(at(box("paint_yellow", {2 * dw + 48, 24, 30}), translate(0, dh + 12, -hz + 15)));
    walls.add(at(box("steel_brushed", {2 * dw * 3 + 80, 10, 12}), translate(0, dh + 30, -hz + 40)));

    // The roof: panels, trusses every 500 across the hall, purlins along it.
    ModelMesh& roof = m.addMesh("hall_roof", 12);
    roof.lightmapTexel = 16.0f;
    roof.add(at(box("roof_panels", {2 * hx + 2 * T, 20, 2 * hz + 2 * T}, kNegY), translate(0, H + 10, 0)));
    for (int k = 0; k < 8; ++k) {
        float x = -1750.0f + 500.0f * static_cast<float>(k);
        const float yb = 880.0f, yt = 985.0f;
        roof.add(at(box("paint_blue", {16, 14, 2 * hz}), translate(x, yb, 0)));
        roof.add(at(box("paint_blue", {16, 14, 2 * hz}), translate(x, yt, 0)));
        const int panels = 10;
        for (int p = 0; p <= panels; ++p) {
            float z = -hz + 2 * hz * static_cast<float>(p) / panels;
            roof.add(at(box("paint_blue", {10, yt - yb, 10}), translate(x, (yb + yt) * 0.5f, z)));
            if (p < panels) {
                float z1 = -hz + 2 * hz * static_cast<float>(p + 1) / panels;
                float len = std::hypot(z1 - z, yt - yb);
                float angle = std::atan2(yt - yb, z1 - z) * 57.29578f * (p % 2 ? -1.0f : 1.0f);
                roof.add(at(box("paint_blue", {8, 8, len}), translate(x, (yb + yt) * 0.5f, (z + z1) * 0.5f) * rotateX(-angle)));
            }
        }
    }
    for (int p = 0; p < 9; ++p) {
        float z = -hz + 2 * hz * (static_cast<float>(p) + 0.5f) / 9.0f;
        roof.add(at(box("steel_rusty", {2 * hx, 10, 8}), translate(0, 997, z)));
    }

    // Columns along both long walls, the crane rails on brackets.
    ModelMesh& columns = m.addMesh("hall_columns", 13);
    columns.lightmapTexel = 6.0f;
    std::vector<Vec2> ibeam = {{-15, -15}, {15, -15}, {15, -12}, {2, -12}, {2, 12}, {15, 12},
                               {15, 15},   {-15, 15}, {-15, 12}, {-2, 12}, {-2, -12}, {-15, -12}};
    for (int k = 0; k < 8; ++k) {
        float x = -1750.0f + 500.0f * static_cast<float>(k);
        for (float zs : {-1.0f, 1.0f}) {
            float z = zs * (hz - 18.0f);
            columns.add(at(extrude("paint_blue", ibeam, H), translate(x, 0, z) * rotateX(-90)));
            columns.add(at(box("steel_rusty", {44, 4, 44}, kAllFaces & ~kNegY), translate(x, 2, z)));
            // Bracket out to the rail.
            float zr = zs * L::kCraneRailZ;
            columns.add(at(box("paint_blue", {20, 24, std::fabs(z - zr) + 20}), translate(x, L::kCraneRailY - 32, (z + zr) * 0.5f)));
        }
    }
    for (float zs : {-1.0f, 1.0f}) {
        float z = zs * L::kCraneRailZ;
        columns.add(at(box("paint_yellow", {2 * hx, 40, 30}), translate(0, L::kCraneRailY - 20, z)));
        columns.add(at(box("steel_brushed", {2 * hx, 8, 8}), translate(0, L::kCraneRailY + 4, z)));
    }

    // What the windows and the doors look out on.
    ModelMesh& views = m.addMesh("hall_views", 14);
    Shape sky = rectangle("glow_sky", {5600, 1600});
    fitUv(sky);
    views.add(at(sky, translate(0, 900, hz + 700) * rotateY(180)));
    Shape yard = rectangle("glow_yard", {1800, 1000});
    fitUv(yard);
    views.add(at(yard, translate(0, 400, -hz - 700)));
}

void addCrane(Model& m)
{
    ModelMesh& crane = m.addMesh("crane", 15);
    crane.lightmapTexel = 6.0f;
    const float x = L::kStageCentre.x, span = 2 * L::kCraneRailZ + 60.0f, y = L::kCraneRailY + 30.0f;
    // Two box girders across the hall, end trucks riding the rails.
    for (float dx : {-45.0f, 45.0f}) {
        crane.add(at(bevelBox("paint_yellow", {26, 60, span}, 2.0f), translate(x + dx, y + 20, 0)));
        crane.add(at(box("hazard", {27, 20, 80}), translate(x + dx, y + 20, 0.5f * span - 60)));
        crane.add(at(box("hazard", {27, 20, 80}), translate(x + dx, y + 20, -0.5f * span + 60)));
    }
    for (float zs : {-1.0f, 1.0f}) {
        crane.add(at(bevelBox("paint_yellow", {240, 40, 50}, 3.0f), translate(x, y - 5, zs * L::kCraneRailZ)));
        for (float dx : {-90.0f, 90.0f})
            crane.add(at(cylinder("steel_brushed", 12, 16, 16), translate(x + dx, y - 12, zs * L::kCraneRailZ - 8) * rotateX(90)));
    }
    // The trolley with the hoist over the stage, where the hand hangs.
    const float tz = L::kHoist.z;
    crane.add(at(bevelBox("paint_orange", {130, 36, 110}, 3.0f), translate(x, y + 66, tz)));
    crane.add(at(cylinder("steel_brushed", 22, 80, 20), translate(x - 40, y + 45, tz) * rotateZ(-90)));
    crane.add(at(bevelBox("paint_orange", {50, 40, 50}, 2.0f), translate(x, y - 10, tz)));
}

void addLamps(Model& m)
{
    ModelMesh& lamps = m.addMesh("lamps", 16);
    lamps.lightmapTexel = 4.0f;
    for (const HangingLamp& lamp : hangingLamps()) {
        sm::Vec3 b = lamp.bulb;
        float r = lamp.overStage ? 38.0f : 30.0f;
        // A shade, closed so it reads from inside and out; the cable to the truss.
        std::vector<Vec2> shade = {{10, 26}, {r - 2, 2}, {r, 0}, {r + 2, 1}, {13, 29}, {10, 29}};
        lamps.add(at(lathe(lamp.overStage ? "paint_green" : "steel_brushed", shade, 24, 35.0f), translate(b + sm::Vec3{0, -6, 0})));
        lamps.add(at(cylinder("steel_brushed", 6, 12, 12), translate(b + sm::Vec3{0, 22, 0})));
        lamps.add(at(cylinder("rubber_black", 1.0f, 880.0f - b.y - 34.0f, 6, false), translate(b + sm::Vec3{0, 34, 0})));
        lamps.add(at(sphere("glow_bulb", 9, 14, 7), translate(b)));
    }
}

void addFanMount(Model& m)
{
    ModelMesh& mount = m.addMesh("fan_mount", 17);
    mount.lightmapTexel = 4.0f;
    const sm::Mat4 hub = fanHubFrame();
    // The housing ring around the blades (about the hub's x axis), its
    // guard spokes in front, the motor behind and a plate on the wall.
    const float R = L::kFanRadius;
    std::vector<Vec2> ring = {{R + 22, -20}, {R + 22, 60}, {R + 6, 64}, {R + 2, 60}, {R + 2, -20}, {R + 8, -24}, {R + 22, -20}};
    mount.add(at(lathe("paint_green", ring, 48, 35.0f), hub * rotateZ(-90)));
    for (int i = 0; i < 8; ++i)
        mount.add(at(box("steel_brushed", {3, R + 4, 3}), hub * rotateX(22.5f + 45.0f * static_cast<float>(i)) *
                                                                translate(56, (R + 4) * 0.5f, 0)));
    mount.add(at(torus("steel_brushed", R * 0.55f, 1.6f, 48, 6), hub * translate(56, 0, 0) * rotateZ(90)));
    mount.add(at(cylinder("paint_green", 30, 44, 24), hub * translate(-40, 0, 0) * rotateZ(-90)));
    mount.add(at(box("steel_rusty", {6, 2 * R + 80, 2 * R + 80}, kAllFaces & ~kNegX), hub * translate(-38, 0, 0)));
}

} // namespace world
