#include "tools/world/set.h"

#include "tools/world/layout.h"
#include "tools/world/set_parts.h"

#include <cmath>

namespace world {

using namespace model;
namespace L = layout;

Shape standingBox(const std::string& material, sm::Vec3 size, float x, float z, float y0, float bevel)
{
    Shape s = bevel > 0 ? bevelBox(material, size, bevel, kAllFaces & ~kNegY) : box(material, size, kAllFaces & ~kNegY);
    transform(s, translate(x, y0 + size.y * 0.5f, z));
    return s;
}

void fitUv(Shape& s)
{
    Vec2 lo{1e30f, 1e30f}, hi{-1e30f, -1e30f};
    for (const Vertex& v : s.vertices) {
        lo = {std::min(lo.x, v.uv.x), std::min(lo.y, v.uv.y)};
        hi = {std::max(hi.x, v.uv.x), std::max(hi.y, v.uv.y)};
    }
    for (Vertex& v : s.vertices)
        v.uv = {(v.uv.x - lo.x) / std::max(1e-6f, hi.x - lo.x), (v.uv.y - lo.y) / std::max(1e-6f, hi.y - lo.y)};
}

std::vector<HangingLamp> hangingLamps()
{
    std::vector<HangingLamp> lamps;
    for (int i = 0; i < L::kLampRingCount; ++i) {
        float a = 6.2831853f * (static_cast<float>(i) + 0.5f) / static_cast<float>(L::kLampRingCount);
        lamps.push_back({L::kStageCentre + sm::Vec3{L::kLampRingRadius * std::cos(a), L::kLampRingHeight,
                                                    L::kLampRingRadius * std::sin(a)},
                         true});
    }
    for (float x : {-1450.0f, -750.0f, 750.0f, 1450.0f})
        for (float z : {-650.0f, 650.0f}) lamps.push_back({{x, 700.0f, z}, false});
    return lamps;
}

Model buildFactory()
{
    Model m;
    addHall(m);
    addCrane(m);
    addLamps(m);
    addMachines(m);
    addConveyor(m);
    addPipes(m);
    addStorage(m);
    addOffice(m);
    addFanMount(m);
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
    ModelMesh& rotor = m.addMesh("fan_rotor", 1);
    rotor.fileTransform = sm::inverse(hub);
    rotor.lightmapTexel = 3.0f;
    // Five broad blades, pitched, on a spinner; built in the hub's frame
    // (x along the axis, out of the wall).
    for (int i = 0; i < 5; ++i) {
        std::vector<Vec2> outline;
        const float r0 = 28.0f, r1 = L::kFanRadius - 8.0f;
        for (int k = 0; k <= 8; ++k) {
            float t = static_cast<float>(k) / 8.0f, r = r0 + (r1 - r0) * t;
            float w = 18.0f + 26.0f * std::sin(3.14159265f * (0.15f + 0.7f * t));
            outline.push_back({r, -w * 0.4f});
        }
        for (int k = 8; k >= 0; --k) {
            float t = static_cast<float>(k) / 8.0f, r = r0 + (r1 - r0) * t;
            float w = 18.0f + 26.0f * std::sin(3.14159265f * (0.15f + 0.7f * t));
            outline.push_back({r, w * 0.6f});
        }
        Shape blade = extrude("steel_brushed", outline, 3.0f);
        // Outline (radius, chord) and thickness -> the hub's y, z and x;
        // pitched about its long axis, then turned into place.
        transform(blade, rotateX(72.0f * static_cast<float>(i)) * rotateY(-22.0f) * translate(12.0f, 0, 0) *
                             frame({0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {}) * translate(0, 0, -1.5f));
        rotor.add(transformed(blade, hub));
    }
    std::vector<Vec2> spinner = {{0.0f, 30.0f}, {12.0f, 28.0f}, {22.0f, 20.0f}, {28.0f, 8.0f}, {30.0f, -8.0f}, {30.0f, -14.0f}};
    // Spinner as a lathe about y, turned so its axis is the hub's x.
    Shape cap = lathe("paint_yellow", [&] {
        std::vector<Vec2> p;
        for (auto it = spinner.rbegin(); it != spinner.rend(); ++it) p.push_back(*it);
        return p;
    }(), 24);
    rotor.add(transformed(cap, hub * rotateZ(-90.0f)));
    return m;
}

} // namespace world
