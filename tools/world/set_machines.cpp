// Machines with control panels and chimneys, the raised platform, the
// conveyor with its feeder, and the pipe runs with the low swing pipe.
#include "tools/world/layout.h"
#include "tools/world/set_parts.h"

#include <cmath>

namespace world {

using namespace model;
namespace L = layout;

namespace {

// A control console standing on the floor, facing along yaw (0: +Z): a
// slanted desk with a screen and rows of glowing buttons.
void console(ModelMesh& m, sm::Vec3 foot, float yaw, bool screen = true)
{
    sm::Mat4 base = place(foot, yaw);
    m.add(at(bevelBox("paint_blue", {90, 100, 50}, 2.0f, kAllFaces & ~kNegY), base * translate(0, 50, 0)));
    // The slanted face, tilted back 35 degrees.
    sm::Mat4 face = base * translate(0, 108, 8) * rotateX(-35);
    m.add(at(bevelBox("paint_blue", {90, 8, 54}, 2.0f), face));
    if (screen) {
        Shape s = rectangle("glow_screen", {38, 26});
        fitUv(s);
        m.add(at(s, face * translate(-18, 4.2f, -4) * rotateX(-90)));
    }
    const char* buttons[] = {"glow_button_green", "glow_button_amber", "glow_button_red"};
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 3; ++i) {
            float x = screen ? 14.0f + 9.0f * static_cast<float>(i) : -20.0f + 20.0f * static_cast<float>(i);
            m.add(at(cylinder(buttons[(i + row) % 3], 2.6f, 2.5f, 10), face * translate(x, 3.5f, -10.0f + 14.0f * row)));
        }
    m.add(at(cylinder("glow_button_red", 5.0f, 3.0f, 14), face * translate(screen ? 36.0f : 30.0f, 3.5f, 14)));
}

// A chimney from the machine top up to a given top point.
void chimney(ModelMesh& m, sm::Vec3 top, float from, float radius)
{
    m.add(at(cylinder("steel_rusty", radius, top.y - from, 16, false), translate(top.x, from, top.z)));
    m.add(at(torus("steel_rusty", radius + 1.5f, 2.5f, 16, 6), translate(top.x, top.y - 3.0f, top.z)));
    m.add(at(cylinder("steel_rusty", radius + 6, 8, 16), translate(top.x, from, top.z)));
}

} // namespace

void addMachines(Model& m)
{
    ModelMesh& mm = m.addMesh("machines", 20);
    mm.lightmapTexel = 5.0f;
    // The press: a heavy frame, a ram, a bed, warning stripes.
    {
        const sm::Vec3 c = L::kPressCentre, s = L::kPressSize;
        mm.add(standingBox("paint_green", {s.x, 70, s.z}, c.x, c.z, 0, 4));
        for (float dx : {-1.0f, 1.0f})
            mm.add(standingBox("paint_green", {60, s.y - 70, s.z * 0.7f}, c.x + dx * (s.x * 0.5f - 30), c.z - 20, 70, 4));
        mm.add(standingBox("paint_green", {s.x, 90, s.z * 0.8f}, c.x, c.z - 10, s.y - 10, 5));
        mm.add(standingBox("steel_brushed", {s.x - 140, 60, s.z * 0.5f}, c.x, c.z, 150, 2));
        mm.add(at(cylinder("steel_brushed", 18, 70, 20), translate(c.x, 210, c.z)));
        mm.add(standingBox("hazard", {s.x - 130, 8, s.z * 0.55f}, c.x, c.z, 70, 0));
        mm.add(standingBox("paint_green", {120, 60, 120}, c.x + 60, c.z - 40, s.y + 80, 4));
        chimney(mm, L::kPressChimneyTop, s.y + 140, 13);
        console(mm, {c.x - 230, 0, c.z + 140}, 20.0f);
    }
    // The boiler: a tall tank with bands, a dome and a chimney; gauges.
    {
        const sm::Vec3 c = L::kBoilerCentre;
        const float R = L::kBoilerRadius, H = L::kBoilerHeight;
        mm.add(at(cylinder("paint_red", R, H, 40, false), translate(c)));
        mm.add(at(lathe("paint_red", {{R, 0}, {R * 0.9f, 40}, {R * 0.55f, 75}, {0.0f, 88}}, 40), translate(c.x, c.y + H, c.z)));
        for (float y : {30.0f, 150.0f, 270.0f, H - 20.0f})
            mm.add(at(torus("steel_rusty", R + 2, 4, 48, 6), translate(c.x, y, c.z)));
        for (int i = 0; i < 4; ++i)
            mm.add(at(bevelBox("steel_rusty", {26, 30, 26}, 2.0f, kAllFaces & ~kNegY),
                      place(c, 45.0f + 90.0f * i) * translate(0, 15, R - 6)));
        chimney(mm, L::kBoilerChimneyTop, H + 40, 16);
        for (int g = 0; g < 2; ++g) {
            sm::Mat4 at0 = place(c, -20.0f + 30.0f * g) * translate(0, 160 + 20 * g, R + 2);
            mm.add(at(cylinder("steel_brushed", 12, 6, 20), at0 * rotateX(90)));
            Shape dial = at(cylinder("glow_button_amber", 9, 1, 20, true), at0 * translate(0, 0, 6) * rotateX(90));
            mm.add(dial);
        }
        console(mm, {c.x + 230, 0, c.z + 120}, -25.0f);
    }
    // The mill: an orange machine with a housing and a work table.
    {
        const sm::Vec3 c = L::kMillCentre;
        mm.add(standingBox("paint_orange", {260, 110, 160}, c.x, c.z, 0, 5));
        mm.add(standingBox("paint_orange", {110, 220, 120}, c.x + 60, c.z - 10, 110, 5));
        mm.add(standingBox("steel_brushed", {180, 12, 110}, c.x - 40, c.z + 10, 110, 2));
        mm.add(at(cylinder("steel_brushed", 14, 60, 16), translate(c.x + 10, 270, c.z + 10)));
        mm.add(at(cylinder("steel_brushed", 6, 40, 12), translate(c.x + 10, 230, c.z + 10)));
        console(mm, {c.x - 190, 0, c.z + 80}, 10.0f, false);
    }
    // The raised platform he flips off: a machine deck with rails, steps and a stack.
    {
        const sm::Vec3 c = L::kPlatformCentre, s = L::kPlatformSize;
        mm.add(standingBox("paint_blue", {s.x, s.y - 6, s.z}, c.x, c.z, 0, 3));
        mm.add(standingBox("rubber_black", {s.x + 6, 6, s.z + 6}, c.x, c.z, s.y - 6, 1));
        mm.add(standingBox("hazard", {s.x + 8, 12, s.z + 8}, c.x, c.z, s.y - 22, 0));
        // Railing on the back (south) edge only, so the front stays open.
        for (int i = 0; i <= 4; ++i)
            mm.add(at(cylinder("paint_yellow", 2.5f, 100, 8), translate(c.x - s.x * 0.5f + 10 + (s.x - 20) * i / 4.0f, s.y, c.z + s.z * 0.5f - 8)));
        mm.add(at(cylinder("paint_yellow", 3, s.x - 10, 10), translate(c.x - s.x * 0.5f + 5, s.y + 100, c.z + s.z * 0.5f - 8) * rotateZ(-90)));
        // Steps up the east side.
        for (int k = 0; k < 4; ++k)
            mm.add(standingBox("steel_rusty", {40, (k + 1) * s.y / 5.0f, 90}, c.x + s.x * 0.5f + 20 + 40 * (3 - k), c.z - 40, 0, 1));
        // A housing and the stack on the deck.
        mm.add(standingBox("paint_green", {90, 100, 80}, L::kPlatformStackTop.x + 10, L::kPlatformStackTop.z, s.y, 4));
        chimney(mm, L::kPlatformStackTop, s.y + 100, 11);
        console(mm, {c.x + 60, s.y, c.z - 30}, 180.0f, true);
    }
}

void addConveyor(Model& m)
{
    ModelMesh& cm = m.addMesh("conveyor", 21);
    cm.lightmapTexel = 5.0f;
    const float x0 = L::kConveyorX0, x1 = L::kConveyorX1, z = L::kConveyorZ, h = L::kConveyorHeight;
    const float len = x1 - x0, w = 90.0f;
    cm.add(at(box("rubber_black", {len, 4, w - 14}, kAllFaces & ~kNegY), translate((x0 + x1) * 0.5f, h, z)));
    for (float dz : {-0.5f, 0.5f}) {
        cm.add(at(box("paint_yellow", {len, 18, 6}), translate((x0 + x1) * 0.5f, h - 4, z + dz * (w - 6))));
        for (float x = x0 + 40; x < x1; x += 200)
            cm.add(standingBox("steel_rusty", {8, h - 12, 8}, x, z + dz * (w - 20), 0, 0));
    }
    for (float x = x0 + 30; x < x1; x += 60)
        cm.add(at(cylinder("steel_brushed", 4, w - 14, 10), translate(x, h - 6, z - 0.5f * (w - 14)) * rotateX(90)));
    // Crates riding the belt.
    for (int i = 0; i < 5; ++i) {
        float x = x0 + 180.0f + 300.0f * static_cast<float>(i);
        cm.add(standingBox(i % 2 ? "wood_crate" : "paint_orange", {50, 36, 44}, x, z + (i % 3 - 1) * 8.0f, h + 2, 2));
    }
    // The feeder at the west end, with its vent.
    const sm::Vec3 f = L::kFeederCentre;
    cm.add(standingBox("paint_green", {150, 230, 190}, f.x, f.z, 0, 5));
    cm.add(standingBox("paint_green", {90, 20, 130}, f.x + 90, f.z, 150, 3));
    cm.add(at(cylinder("steel_rusty", 12, 32, 14), translate(L::kFeederVent.x, 230, L::kFeederVent.z)));
    cm.add(standingBox("steel_rusty", {60, 14, 60}, f.x, f.z + 100, 200, 2));
    console(cm, {f.x + 20, 0, f.z - 160}, 180.0f, true);
}

void addPipes(Model& m)
{
    ModelMesh& pm = m.addMesh("pipes", 22);
    pm.lightmapTexel = 5.0f;
    const float hz = L::kHallHalfZ, hx = L::kHallHalfX;
    // The low pipe across the run path, into the north wall, on two posts.
    {
        const float x = L::kSwingPipeX, y = L::kSwingPipeY;
        pm.add(tube("steel_rusty", roundCorners({{x, y, -hz}, {x, y, L::kSwingPipeZ1}, {x, 0, L::kSwingPipeZ1}}, 40, 6), 10, 16, false));
        // A post holding it up halfway.
        pm.add(at(cylinder("paint_yellow", 5, y - 12, 10), translate(x, 0, -700)));
        pm.add(at(box("paint_yellow", {30, 6, 30}), translate(x, y - 12, -700)));
        for (float z : {-1100.0f, -400.0f, 100.0f})
            pm.add(at(torus("steel_brushed", 11.5f, 2.5f, 18, 6), translate(x, y, z) * rotateX(90)));
    }
    // Runs along the walls, with bends, flanges and valves.
    auto pipeRun = [&](std::vector<sm::Vec3> pts, float r, const char* material) {
        pm.add(tube(material, roundCorners(pts, 3 * r, 6), r, 14, true));
    };
    pipeRun({{-hx + 30, 420, -hz + 30}, {hx - 30, 420, -hz + 30}}, 9, "paint_green");
    pipeRun({{-hx + 55, 380, -hz + 30}, {-900, 380, -hz + 30}, {-900, 380, -hz + 200}, {-900, 0, -hz + 200}}, 7, "paint_red");
    pipeRun({{hx - 30, 500, -hz + 30}, {hx - 30, 500, 900}, {hx - 30, 0, 900}}, 12, "steel_rusty");
    pipeRun({{L::kBoilerCentre.x - 140, 300, L::kBoilerCentre.z}, {L::kBoilerCentre.x - 300, 300, L::kBoilerCentre.z},
             {L::kBoilerCentre.x - 300, 420, -hz + 30}},
            8, "steel_rusty");
    pipeRun({{hx - 30, 300, 300}, {hx - 30, 300, L::kValve.z}, {L::kValve.x - 30, 300, L::kValve.z}}, 6, "paint_red");
    // The leaking valve: a wheel on the pipe end.
    pm.add(at(torus("paint_red", 14, 2, 20, 6), translate(L::kValve + sm::Vec3{-34, 16, 0}) * rotateX(0)));
    pm.add(at(cylinder("steel_brushed", 3, 18, 8), translate(L::kValve + sm::Vec3{-34, 0, 0})));
    for (float x = -hx + 400; x < hx; x += 600) pm.add(at(cylinder("steel_brushed", 11.5f, 4, 16), translate(x, 420, -hz + 30) * rotateZ(-90)));
    // Brackets holding the wall runs.
    for (float x = -hx + 200; x < hx; x += 500) pm.add(at(box("steel_rusty", {8, 40, 40}), translate(x, 400, -hz + 20)));
}

} // namespace world
