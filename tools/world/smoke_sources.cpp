#include "tools/world/smoke_sources.h"

#include "tools/model/model.h"
#include "tools/world/layout.h"
#include "tools/world/output.h"

namespace world {

namespace L = layout;

namespace {

// A square vent facing up, centred at c.
SmokeSource upVent(const std::string& name, sm::Vec3 c, float size, int rate, float speed)
{
    float h = size * 0.5f;
    return {name, c + sm::Vec3{-h, 0, -h}, {0, 0, size}, {size, 0, 0}, rate, 2.0f, 3.2f, 2.5f, 11.0f, 0.28f, 0.0f,
            speed, 15.0f};
}

std::vector<SmokeSource> makeSources()
{
    std::vector<SmokeSource> s;
    // Chimneys on the machines along the north wall, a vent by the
    // conveyor, a stack on the platform machine and a leaking valve on the
    // east wall blowing sideways.
    s.push_back(upVent("smoke_press", L::kPressChimneyTop, 26, 14, 140));
    s.push_back(upVent("smoke_boiler", L::kBoilerChimneyTop, 34, 16, 160));
    s.push_back(upVent("smoke_feeder", L::kFeederVent, 22, 10, 90));
    s.push_back(upVent("smoke_platform", L::kPlatformStackTop, 22, 12, 120));
    // Sideways out of a leaking valve on the east wall (edge1 x edge2 = -X).
    sm::Vec3 v = L::kValve + sm::Vec3{-12, -6, -6};
    s.push_back({"smoke_valve", v, {0, 0, 12}, {0, 12, 0}, 12, 1.4f, 2.4f, 1.5f, 8.0f, 0.3f, 0.0f, 220.0f, 20.0f});
    return s;
}

void addProperties(Geometry& g)
{
    for (const SmokeSource& s : smokeSources()) {
        Mesh* mesh = g.findMesh(s.name);
        auto add = [&](const char* name, int type, auto value) {
            auto p = std::make_unique<MeshProperty>();
            p->name = name;
            p->valueType = type;
            p->animationKind = kPropConstant;
            p->value = value;
            mesh->addProperty(std::move(p));
        };
        add("particles_per_second", kPropInt, std::int32_t{s.particlesPerSecond});
        add("life_time_min", kPropFloat, s.lifeMin);
        add("life_time_max", kPropFloat, s.lifeMax);
        add("size_start", kPropFloat, s.sizeStart);
        add("size_end", kPropFloat, s.sizeEnd);
        add("opacity_start", kPropFloat, s.opacityStart);
        add("opacity_end", kPropFloat, s.opacityEnd);
        add("speed_start", kPropFloat, s.speedStart);
        add("speed_end", kPropFloat, s.speedEnd);
    }
}

} // namespace

const std::vector<SmokeSource>& smokeSources()
{
    static const std::vector<SmokeSource> sources = makeSources();
    return sources;
}

void writeSmokeSources(content::Staging& staging)
{
    model::Model m;
    int id = 1;
    for (const SmokeSource& s : smokeSources()) {
        model::Shape quad("smoke_source");
        sm::Vec3 n = model::normalized(sm::cross(s.edge1, s.edge2));
        auto p0 = quad.addVertex(s.corner, n, {});
        auto p1 = quad.addVertex(s.corner + s.edge1, n, {});
        auto p2 = quad.addVertex(s.corner + s.edge2, n, {});
        auto p3 = quad.addVertex(s.corner + s.edge1 + s.edge2, n, {});
        quad.addTriangle(p0, p1, p2);
        quad.addTriangle(p2, p1, p3);
        m.addMesh(s.name, id++).add(quad);
    }
    saveModel(staging, "models/smoke_sources.geo", m, false, addProperties);
}

} // namespace world
