#include "tools/world/lightmaps.h"

#include "content/image.h"
#include "tools/content/staging.h"
#include "tools/world/layout.h"
#include "tools/world/materials.h"
#include "tools/world/set.h"

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <map>

namespace world {

namespace L = layout;

namespace {

// The mean colour of a texture in the staging tree (the surface textures are
// written before the world).
sm::Vec3 meanColour(content::Staging& staging, const std::string& texture)
{
    static std::map<std::string, sm::Vec3> cache;
    auto it = cache.find(texture);
    if (it != cache.end()) return it->second;
    Image image;
    sm::Vec3 mean{0.5f, 0.5f, 0.5f};
    for (const char* ext : {".jpg", ".png"}) {
        std::filesystem::path path = staging.root() / "textures" / (texture + ext);
        std::error_code ec;
        if (std::filesystem::exists(path, ec) && loadImage(path.string(), image)) break;
    }
    if (image.pixels.empty()) staging.fail("textures/" + texture + ": missing, needed for the light maps");
    if (!image.pixels.empty() && image.channels >= 3) {
        double sum[3] = {0, 0, 0};
        std::size_t n = 0;
        for (std::size_t i = 0; i + 2 < image.pixels.size(); i += static_cast<std::size_t>(image.channels) * 7, ++n)
            for (int k = 0; k < 3; ++k) sum[k] += image.pixels[i + static_cast<std::size_t>(k)] / 255.0;
        mean = {static_cast<float>(sum[0] / n), static_cast<float>(sum[1] / n), static_cast<float>(sum[2] / n)};
    }
    cache[texture] = mean;
    return mean;
}

} // namespace

bake::Lighting hallLighting()
{
    bake::Lighting l;
    l.sunTravel = L::kSunTravel;
    l.sunColour = {1.25f, 1.0f, 0.72f};
    l.skyZenith = {0.55f, 0.7f, 1.0f};
    l.skyHorizon = {0.9f, 0.85f, 0.8f};
    l.ambient = {0.16f, 0.17f, 0.2f};
    l.occlusionRadius = 140.0f;
    for (const HangingLamp& lamp : hangingLamps())
        l.lamps.push_back({lamp.bulb + sm::Vec3{0, -12, 0}, 8.0f, {1.0f, 0.82f, 0.55f}, lamp.overStage ? 0.9f : 0.6f,
                           1300.0f});
    l.lamps.push_back({L::kDeskLamp + sm::Vec3{20, 40, 10}, 4.0f, {1.0f, 0.8f, 0.5f}, 0.05f, 500.0f});
    l.exposure = 2.0f;
    l.gatherRays = 24;
    return l;
}

std::map<std::string, pictures::Image> bakeAndWriteLightmaps(content::Staging& staging,
                                                             const std::vector<model::Model*>& models)
{
    std::vector<bake::Target> targets;
    std::vector<std::string> names;
    long long atlasTexels = 0;
    for (model::Model* m : models)
        for (model::ModelMesh& mesh : m->meshes) {
            model::UnwrapOptions options;
            options.texelSize = mesh.lightmapTexel;
            model::Atlas atlas = model::unwrapLightmap(mesh, joinsLightmap, options);
            if (atlas.charts == 0) continue;
            targets.push_back({&mesh, atlas, joinsLightmap});
            names.push_back(mesh.name);
            atlasTexels += static_cast<long long>(atlas.width) * atlas.height;
        }
    auto surfaceOf = [&](const std::string& material) {
        bake::SurfaceInfo info;
        const MaterialSpec* m = findMaterial(material);
        if (!m || m->glows() || m->seeThrough()) {
            info.blocksLight = false;
            return info;
        }
        info.albedo = m->diffuse.empty() ? m->colour : meanColour(staging, m->diffuse);
        return info;
    };
    bake::Result r = bakeLightmaps(targets, {}, hallLighting(), surfaceOf);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        staging.writePng("textures/lightmaps/" + names[i] + "LightingMap.png", r.maps[i]);
        std::printf("      %-22s %4d x %-4d %5.1f cm/texel %5d charts\n", names[i].c_str(), targets[i].atlas.width,
                    targets[i].atlas.height, targets[i].atlas.texelSize, targets[i].atlas.charts);
    }
    std::map<std::string, pictures::Image> out;
    for (std::size_t i = 0; i < targets.size(); ++i) out[names[i]] = std::move(r.maps[i]);
    std::printf("    light maps: %zu, %lld texels baked (%lld in the atlases), %.1f M rays in %.1f s\n", targets.size(),
                r.texels, atlasTexels, static_cast<double>(r.rays) / 1e6, r.seconds);
    return out;
}

} // namespace world
