// Storage: racks along the east wall, the row of crates he jumps, barrels
// and pallets; and the office nook with the desk, the lamp and its frayed
// cable, the shelf and the poster wall.
#include "tools/world/layout.h"
#include "tools/world/set_parts.h"

#include <cmath>

namespace world {

using namespace model;
namespace L = layout;

namespace {

// A wooden crate with planked sides: a box with a frame of battens.
void crate(ModelMesh& m, float size, sm::Vec3 foot, float yaw)
{
    sm::Mat4 base = place(foot, yaw);
    m.add(at(bevelBox("wood_crate", {size - 4, size - 4, size - 4}, 1.0f, kAllFaces & ~kNegY), base * translate(0, size * 0.5f - 2, 0)));
    const float b = 6.0f;
    for (float sx : {-1.0f, 1.0f})
        for (float sz : {-1.0f, 1.0f})
            m.add(at(box("wood_desk", {b, size, b}, kAllFaces & ~kNegY), base * translate(sx * (size - b) * 0.5f, size * 0.5f, sz * (size - b) * 0.5f)));
    for (float y : {b * 0.5f, size - b * 0.5f})
        for (float sz : {-1.0f, 1.0f}) {
            m.add(at(box("wood_desk", {size - 2 * b, b, b}), base * translate(0, y, sz * (size - b) * 0.5f)));
            m.add(at(box("wood_desk", {b, b, size - 2 * b}), base * translate(sz * (size - b) * 0.5f, y, 0)));
        }
}

void barrel(ModelMesh& m, sm::Vec3 foot, const char* paint)
{
    std::vector<Vec2> profile = {{0, 0}, {27, 0}, {28, 2}, {29, 30}, {30, 44}, {29, 58}, {28, 86}, {27, 88}, {22, 88}, {21, 86}, {0, 86}};
    m.add(at(lathe(paint, profile, 24, 40.0f), translate(foot)));
    for (float y : {30.0f, 58.0f}) m.add(at(torus("steel_rusty", 29.5f, 1.2f, 24, 5), translate(foot + sm::Vec3{0, y, 0})));
}

void pallet(ModelMesh& m, sm::Vec3 foot, float yaw)
{
    sm::Mat4 base = place(foot, yaw);
    for (float z : {-45.0f, 0.0f, 45.0f}) m.add(at(box("wood_crate", {120, 10, 10}, kAllFaces & ~kNegY), base * translate(0, 5, z)));
    for (int i = 0; i < 7; ++i)
        m.add(at(box("wood_desk", {14, 2.5f, 100}), base * translate(-52 + 17.3f * i, 11.25f, 0)));
}

} // namespace

void addStorage(Model& m)
{
    ModelMesh& sm_ = m.addMesh("storage", 23);
    sm_.lightmapTexel = 5.0f;
    const float hx = L::kHallHalfX;
    // The crate row across the run, one crate a little askew.
    for (int i = 0; i < 5; ++i) {
        float z = L::kCrateRowZ0 + (L::kCrateRowZ1 - L::kCrateRowZ0) * static_cast<float>(i) / 4.0f;
        crate(sm_, L::kCrateSize, {L::kCrateRowX, 0, z}, i == 3 ? 6.0f : 0.0f);
    }
    crate(sm_, 70, {L::kCrateRowX + 10, L::kCrateSize, L::kCrateRowZ0}, 20.0f);
    // Racks along the east wall, loaded with boxes and barrels.
    for (int r = 0; r < 2; ++r) {
        const float z0 = -950.0f + 360.0f * r, x = hx - 45.0f;
        for (float dz : {0.0f, 300.0f})
            for (float dx : {-30.0f, 30.0f})
                sm_.add(standingBox("paint_orange", {7, 320, 7}, x + dx, z0 + dz, 0, 0));
        for (float y : {10.0f, 110.0f, 210.0f, 310.0f}) {
            for (float dx : {-30.0f, 30.0f}) sm_.add(at(box("paint_blue", {6, 10, 306}), translate(x + dx, y, z0 + 150)));
            sm_.add(at(box("wood_crate", {64, 3, 300}), translate(x, y + 6.5f, z0 + 150)));
        }
        for (int level = 0; level < 3; ++level)
            for (int k = 0; k < 3; ++k) {
                float y = 18.0f + 100.0f * level, z = z0 + 55.0f + 95.0f * k;
                if ((r + level + k) % 4 == 3) continue;
                if ((level + k) % 3 == 0) crate(sm_, 50, {x, y, z}, 4.0f * k);
                else sm_.add(standingBox(k % 2 ? "paper_poster" : "wood_crate", {48, 40.0f + 6.0f * static_cast<float>(k), 70}, x, z, y, 2));
            }
    }
    // Barrels by the south wall and near the platform.
    const char* paints[] = {"paint_blue", "paint_red", "paint_blue", "paint_green", "paint_yellow", "paint_red"};
    const sm::Vec3 spots[] = {{1750, 0, 1120}, {1690, 0, 1150}, {1720, 0, 1060}, {-300, 0, 1140}, {-240, 0, 1150}, {1880, 0, 500}};
    for (int i = 0; i < 6; ++i) barrel(sm_, spots[i], paints[i]);
    // A fallen barrel.
    sm_.add(at(lathe("paint_yellow", {{0, 0}, {27, 0}, {29, 30}, {30, 44}, {29, 58}, {27, 88}, {0, 88}}, 24, 40.0f),
               translate(1620, 30, 980) * rotateY(30) * rotateZ(90) * translate(0, -44, 0)));
    // Pallets stacked with boxes in the south-west.
    pallet(sm_, {-1650, 0, 1050}, 10);
    pallet(sm_, {-1500, 0, 1100}, -5);
    sm_.add(standingBox("paper_poster", {100, 60, 80}, -1650, 1050, 12.5f, 3));
    sm_.add(standingBox("wood_crate", {90, 70, 90}, -1500, 1100, 12.5f, 3));
    crate(sm_, 80, {-1750, 0, 900}, 12);
    crate(sm_, 60, {-1750, 80, 900}, 30);
}

void addOffice(Model& m)
{
    ModelMesh& om = m.addMesh("office", 24);
    om.lightmapTexel = 3.0f;
    const sm::Vec3 d = L::kDeskCentre, s = L::kDeskSize;
    // The desk: a top, two drawer pedestals, a modesty panel.
    om.add(at(bevelBox("wood_desk", {s.x, 4, s.z}, 1.0f), translate(d.x, s.y - 2, d.z)));
    for (float side : {-1.0f, 1.0f}) {
        float px = d.x + side * (s.x * 0.5f - 22);
        om.add(standingBox("paint_blue", {42, s.y - 4, s.z - 6}, px, d.z, 0, 1.5f));
        for (int k = 0; k < 3; ++k) {
            float y = 12.0f + 22.0f * k;
            om.add(at(box("steel_brushed", {36, 18, 1}), translate(px, y + 9, d.z + s.z * 0.5f - 2.5f)));
            om.add(at(box("steel_brushed", {12, 2, 3}), translate(px, y + 14, d.z + s.z * 0.5f - 1)));
        }
    }
    om.add(standingBox("paint_blue", {s.x - 90, s.y - 30, 2}, d.x, d.z - s.z * 0.5f + 6, 26, 0));
    // Papers, a clipboard, a pencil cup; an old monitor.
    for (int k = 0; k < 4; ++k)
        om.add(at(box("paper_poster", {21, 0.4f, 29.7f}), translate(d.x - 40 + 6 * k, s.y + 0.3f + 0.4f * k, d.z + 8) * rotateY(8.0f * k - 12)));
    om.add(at(cylinder("paint_red", 4, 10, 12), translate(d.x + 20, s.y, d.z - 20)));
    om.add(at(bevelBox("paint_yellow", {44, 36, 38}, 3.0f), translate(d.x - 10, s.y + 20, d.z - 22)));
    Shape monitor = rectangle("glow_screen", {34, 26});
    fitUv(monitor);
    om.add(at(monitor, translate(d.x - 10, s.y + 21, d.z - 2.8f)));
    // The desk lamp: base, two arms, a shade with a bulb.
    const sm::Vec3 lamp = L::kDeskLamp;
    om.add(at(cylinder("paint_green", 9, 3, 16), translate(lamp)));
    std::vector<sm::Vec3> arm = {lamp + sm::Vec3{0, 3, 0}, lamp + sm::Vec3{0, 28, -6}, lamp + sm::Vec3{-6, 46, 16}};
    om.add(tube("steel_brushed", arm, 1.2f, 8, true));
    sm::Vec3 head = arm.back();
    std::vector<Vec2> shade = {{2, 14}, {9, 1}, {10, 0}, {11, 1}, {4, 16}, {2, 16}};
    om.add(at(lathe("paint_green", shade, 18, 35.0f), translate(head) * rotateX(150) * translate(0, -14, 0)));
    om.add(at(sphere("glow_bulb", 3.2f, 10, 5), translate(head + sm::Vec3{0, -6, 3})));
    // The frayed cable: from the lamp forward over the desk, over its front
    // edge (frayed where it bends) and down to the floor, then along the
    // floor to the wall socket.
    const sm::Vec3 fray = L::kFrayedCable;
    std::vector<sm::Vec3> cable = smoothPath({lamp + sm::Vec3{-7, 1, 5}, {lamp.x - 12, s.y + 0.9f, fray.z - 30},
                                              {fray.x, s.y + 0.9f, fray.z - 1}, {fray.x + 1, s.y - 5, fray.z + 2.5f},
                                              {fray.x + 3, 30, fray.z + 4}, {fray.x + 8, 1.2f, fray.z + 14},
                                              {lamp.x + 60, 1.2f, fray.z + 8}, {lamp.x + 120, 1.2f, d.z - 20},
                                              {lamp.x + 130, 25, -L::kHallHalfZ + 2}},
                                             6);
    om.add(tube("rubber_black", cable, 0.8f, 6, true));
    // Bare copper where it is frayed.
    om.add(at(sphere("paint_orange", 1.4f, 8, 4), translate(fray + sm::Vec3{0, 1.0f, 0})));
    om.add(at(box("paint_yellow", {10, 14, 4}), translate(lamp.x + 130, 25, -L::kHallHalfZ + 2)));
    // A shelf of binders against the west wall and a filing cabinet.
    const float wx = -L::kHallHalfX + 22.0f;
    for (float y : {0.0f, 60.0f, 120.0f, 180.0f}) om.add(at(box("wood_desk", {40, 3, 160}), translate(wx, y + 1.5f, -980)));
    for (float z : {-1058.0f, -902.0f}) om.add(standingBox("wood_desk", {40, 183, 3}, wx, z, 0, 0));
    for (int level = 0; level < 3; ++level)
        for (int k = 0; k < 9; ++k) {
            const char* c = k % 3 == 0 ? "paint_red" : k % 3 == 1 ? "paint_blue" : "paint_yellow";
            if ((k + level) % 5 == 4) continue;
            om.add(standingBox(c, {30, 32, 7}, wx, -1045 + 15.5f * k + 6.0f * level, 3.0f + 60.0f * level, 0.8f));
        }
    om.add(standingBox("paint_green", {50, 130, 60}, -1930, -800, 0, 2));
    for (int k = 0; k < 4; ++k) om.add(at(box("steel_brushed", {16, 2, 3}), translate(-1904, 25 + 30 * k, -800)));
    // A waste bin and a small rug under the chair.
    om.add(at(cylinder("steel_brushed", 14, 35, 16, false), translate(d.x + 110, 0, d.z + 30)));
    om.add(at(box("chair_fabric", {180, 1.0f, 150}, kPosY), translate(L::kChairAtDesk.x, 0.5f, L::kChairAtDesk.z - 10)));
    // The poster wall.
    const char* posters[] = {"poster_safety", "poster_works", "poster_output", "poster_worker"};
    for (int i = 0; i < 4; ++i) {
        float x = L::kPosterWall.x - 240.0f + 160.0f * i, y = L::kPosterWall.y + (i % 2 ? 15.0f : -10.0f);
        Shape p = rectangle(posters[i], {110, 110});
        fitUv(p);
        om.add(at(p, translate(x, y, -L::kHallHalfZ + 1.2f) * rotateZ(i == 2 ? 2.0f : -1.5f)));
        om.add(at(box("steel_brushed", {6, 2, 1}), translate(x, y + 52, -L::kHallHalfZ + 1.8f)));
    }
}

} // namespace world
