#include "tools/world/materials.h"

#include "content/material.h"
#include "tools/content/staging.h"

#include <map>

namespace world {

namespace {

MaterialSpec textured(const std::string& name, const std::string& surface, float tile, float gloss = 0.25f,
                      float level = 0.4f, bool normalMap = true)
{
    MaterialSpec m;
    m.name = name;
    m.diffuse = surface + "_diffuse";
    if (normalMap) m.normal = surface + "_normal";
    m.tile = tile;
    m.glossiness = gloss;
    m.specularLevel = level;
    return m;
}

MaterialSpec glowing(const std::string& name, sm::Vec3 colour, const std::string& texture = "")
{
    MaterialSpec m;
    m.name = name;
    m.colour = colour;
    m.diffuse = texture;
    m.tile = 1.0f;
    m.specular = {0.1f, 0.1f, 0.1f};
    m.glossiness = 0.1f;
    m.specularLevel = 0.1f;
    return m;
}

MaterialSpec withNormal(MaterialSpec m, const std::string& normalMap)
{
    m.normal = normalMap;
    return m;
}

std::vector<MaterialSpec> makeTable()
{
    std::vector<MaterialSpec> t;
    // The hall.
    t.push_back(textured("floor_concrete", "concrete_floor", 300.0f, 0.2f, 0.3f));
    t.push_back(withNormal(textured("floor_lane", "floor_lane", 300.0f, 0.25f, 0.3f, false), "concrete_floor_normal"));
    t.push_back(textured("wall_brick", "brick_wall", 110.0f, 0.15f, 0.2f));
    t.push_back(textured("wall_concrete", "concrete_floor", 420.0f, 0.15f, 0.2f));
    t.push_back(textured("roof_panels", "rusty_metal", 300.0f, 0.2f, 0.25f));
    t.push_back(textured("steel_rusty", "rusty_metal", 220.0f, 0.25f, 0.3f));
    t.push_back(textured("steel_brushed", "brushed_steel", 120.0f, 0.45f, 0.7f));
    t.push_back(textured("paint_green", "painted_metal", 160.0f, 0.35f, 0.5f));
    for (const char* colour : {"paint_orange", "paint_yellow", "paint_blue", "paint_red"})
        t.push_back(withNormal(textured(colour, colour, 160.0f, 0.35f, 0.5f, false), "painted_metal_normal"));
    t.push_back(withNormal(textured("hazard", "hazard_stripes", 80.0f, 0.3f, 0.4f, false), "painted_metal_normal"));
    t.push_back(textured("wood_desk", "wood", 120.0f, 0.3f, 0.35f));
    t.push_back(textured("wood_crate", "wood", 90.0f, 0.2f, 0.25f));
    t.push_back(textured("rubber_black", "rubber", 80.0f, 0.2f, 0.3f));
    t.push_back(textured("paper_poster", "poster_paper", 100.0f, 0.1f, 0.15f));
    for (const char* poster : {"poster_safety", "poster_works", "poster_output", "poster_worker"}) {
        MaterialSpec m = textured(poster, poster, 1.0f, 0.1f, 0.15f, false);
        m.diffuse = poster;  // uv spans the picture once
        m.normal = "poster_paper_normal";
        t.push_back(m);
    }
    MaterialSpec glass = textured("window_glass", "glass", 180.0f, 0.6f, 0.8f, false);
    glass.opacity = 0.3f;
    t.push_back(glass);
    // The robot and the props (never light-mapped).
    t.push_back(withNormal(textured("robot_paint", "paint_orange", 60.0f, 0.45f, 0.6f, false), "painted_metal_normal"));
    t.push_back(withNormal(textured("robot_joint", "paint_graphite", 40.0f, 0.45f, 0.6f, false), "painted_metal_normal"));
    t.push_back(withNormal(textured("robot_visor", "paint_graphite", 120.0f, 0.85f, 1.0f, false), "brushed_steel_normal"));
    t.push_back(textured("robot_steel", "brushed_steel", 30.0f, 0.55f, 0.8f));
    t.push_back(withNormal(textured("robot_stripes", "hazard_stripes", 14.0f, 0.35f, 0.5f, false), "painted_metal_normal"));
    t.push_back(textured("chair_fabric", "fabric", 30.0f, 0.12f, 0.15f));
    t.push_back(textured("chair_metal", "brushed_steel", 40.0f, 0.5f, 0.7f));
    t.push_back(textured("prop_ceramic", "poster_paper", 30.0f, 0.6f, 0.8f));
    // Glowing parts.
    t.push_back(glowing("glow_bulb", {1.0f, 0.86f, 0.6f}));
    t.push_back(glowing("glow_screen", {0.35f, 0.9f, 0.8f}, "screen_monitor"));
    t.push_back(glowing("glow_button_red", {1.0f, 0.2f, 0.12f}));
    t.push_back(glowing("glow_button_green", {0.3f, 1.0f, 0.35f}));
    t.push_back(glowing("glow_button_amber", {1.0f, 0.65f, 0.1f}));
    t.push_back(glowing("glow_eyes", {0.3f, 0.95f, 1.0f}));
    t.push_back(glowing("glow_ecig_tip", {1.0f, 0.45f, 0.15f}));
    t.push_back(glowing("glow_yard", {1.0f, 1.0f, 1.0f}, "view_yard"));
    t.push_back(glowing("glow_sky", {1.0f, 1.0f, 1.0f}, "view_sky"));
    // Helpers that nothing should see: fully transparent.
    MaterialSpec helper = textured("helper_hidden", "glass", 100.0f, 0.0f, 0.0f, false);
    helper.opacity = 0.0f;
    t.push_back(helper);
    MaterialSpec guide = helper;
    guide.name = "helper_guide";
    t.push_back(guide);
    MaterialSpec source = helper;
    source.name = "smoke_source";
    t.push_back(source);
    return t;
}

} // namespace

const std::vector<MaterialSpec>& materialTable()
{
    static const std::vector<MaterialSpec> table = makeTable();
    return table;
}

const MaterialSpec* findMaterial(const std::string& name)
{
    static const std::map<std::string, const MaterialSpec*> byName = [] {
        std::map<std::string, const MaterialSpec*> m;
        for (const MaterialSpec& s : materialTable()) m[s.name] = &s;
        return m;
    }();
    auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
}

bool joinsLightmap(const std::string& material)
{
    const MaterialSpec* m = findMaterial(material);
    return m && m->takesLightmap();
}

model::SurfaceLookup surfaceLookup(bool lightmapped)
{
    return [lightmapped](const model::ModelMesh&, const std::string& material, model::SurfaceNeeds& needs) {
        const MaterialSpec* m = findMaterial(material);
        if (!m) return false;
        needs.diffuse = !m->diffuse.empty();
        needs.normalMap = !m->normal.empty();
        needs.lightmap = lightmapped && m->takesLightmap();
        needs.tile = m->tile;
        // A light map without a diffuse texture is never drawn.
        return !(needs.lightmap && !needs.diffuse);
    };
}

void writeMaterials(content::Staging& staging)
{
    for (const MaterialSpec& s : materialTable()) {
        Material m;
        m.name = s.name;
        m.diffuseColor[0] = s.colour.x, m.diffuseColor[1] = s.colour.y, m.diffuseColor[2] = s.colour.z;
        m.specularColor[0] = s.specular.x, m.specularColor[1] = s.specular.y, m.specularColor[2] = s.specular.z;
        m.glossiness = s.glossiness;
        m.specularLevel = s.specularLevel;
        m.opacity = s.opacity;
        m.diffuseMapName = s.diffuse;
        m.bumpMapName = s.normal;
        std::string xml, error;
        if (!writeMaterial(m, xml, &error)) {
            staging.fail("materials/" + s.name + ".mat: " + error);
            return;
        }
        staging.writeBytes("materials/" + s.name + ".mat", xml);
    }
}

} // namespace world
