#include "tools/look/ray_view.h"

#include "content/image.h"
#include "content/material.h"
#include "content/geometry/vertex_format.h"
#include "tools/bake/ray_scene.h"
#include "tools/model/vec_ops.h"
#include "tools/parallel/parallel_for.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace look {

using model::normalized;
using model::operator-;
using model::operator+=;

struct RayView::Texture {
    int width = 0, height = 0, channels = 0;
    std::vector<std::uint8_t> pixels;

    sm::Vec3 sample(float u, float v) const
    {
        if (pixels.empty()) return {0.6f, 0.6f, 0.6f};
        int x = static_cast<int>(std::floor(u * width)), y = static_cast<int>(std::floor(v * height));
        x = ((x % width) + width) % width;
        y = ((y % height) + height) % height;
        const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * channels];
        return {p[0] / 255.0f, p[channels > 1 ? 1 : 0] / 255.0f, p[channels > 2 ? 2 : 0] / 255.0f};
    }
};

RayView::RayView(std::string data) : data_(std::move(data)) {}
RayView::~RayView() = default;

const RayView::Texture* RayView::texture(const std::string& name)
{
    if (name.empty()) return nullptr;
    auto it = textures_.find(name);
    if (it != textures_.end()) return it->second.get();
    auto t = std::make_unique<Texture>();
    for (const char* folder : {"textures/", "textures/lightmaps/"})
        for (const char* ext : {".jpg", ".png"}) {
            std::filesystem::path p = std::filesystem::path(data_) / folder / (name + ext);
            ::Image image;
            if (t->pixels.empty() && std::filesystem::exists(p) && loadImage(p.string(), image)) {
                t->width = static_cast<int>(image.width);
                t->height = static_cast<int>(image.height);
                t->channels = image.channels;
                t->pixels = std::move(image.pixels);
            }
        }
    return (textures_[name] = std::move(t)).get();
}

namespace {

struct Surface {
    model::Shape shape;
    bool lit;  // light-mapped
    bool glows;
    const void* diffuse;
    const void* lightmap;
    sm::Vec3 colour;
};

} // namespace

pictures::Image RayView::render(const std::vector<Drawn>& set, const std::vector<Drawn>& actors, const View& view,
                                int width, int height)
{
    std::vector<Surface> surfaces;
    bake::RayScene scene;
    auto add = [&](const Drawn& d, bool fixed) {
        const SubMesh& s = *d.sub;
        const VertexLayout* L = vertexLayout(s.vertexFormat);
        if (!L || s.vertexCount < 3) return;
        auto mat = materials_.find(s.materialName);
        if (mat == materials_.end()) {
            auto m = readMaterialFile((std::filesystem::path(data_) / "materials" / (s.materialName + ".mat")).string());
            std::pair<std::string, sm::Vec3> v{"", {0.6f, 0.6f, 0.6f}};
            if (m) {
                if (m->opacity <= 0.01f) v.first = "-";
                else v = {m->diffuseMapName, {m->diffuseColor[0], m->diffuseColor[1], m->diffuseColor[2]}};
            }
            mat = materials_.emplace(s.materialName, v).first;
        }
        if (mat->second.first == "-") return;
        Surface sf;
        sf.shape.material = s.materialName;
        sf.glows = s.materialName.compare(0, 4, "glow") == 0;
        sf.lit = fixed && L->lightmapUv >= 0 && !sf.glows;
        sf.diffuse = texture(mat->second.first);
        sf.lightmap = sf.lit ? texture(d.mesh->name + "LightingMap") : nullptr;
        sf.colour = mat->second.second;
        sm::Mat4 normalM = sm::inverse(d.matrix);
        for (int i = 0; i < s.vertexCount; ++i) {
            const std::uint8_t* v = s.vertices.data() + static_cast<std::size_t>(i) * L->stride;
            sm::Vec3 p, n;
            float uv[2] = {0, 0}, lm[2] = {0, 0};
            std::memcpy(&p, v + L->position, 12);
            if (L->normal >= 0) std::memcpy(&n, v + L->normal, 12);
            if (L->diffuseUv >= 0) std::memcpy(uv, v + L->diffuseUv, 8);
            if (L->lightmapUv >= 0) std::memcpy(lm, v + L->lightmapUv, 8);
            p = sm::transformPoint(d.matrix, p);
            // Normals by the inverse transpose.
            sm::Vec3 wn{normalM.a[0] * n.x + normalM.a[1] * n.y + normalM.a[2] * n.z,
                        normalM.a[4] * n.x + normalM.a[5] * n.y + normalM.a[6] * n.z,
                        normalM.a[8] * n.x + normalM.a[9] * n.y + normalM.a[10] * n.z};
            sf.shape.addVertex(p, normalized(wn), {uv[0], uv[1]}, {lm[0], lm[1]});
        }
        for (int i = 0; i + 2 < s.vertexCount; i += 3)
            sf.shape.addTriangle(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1),
                                 static_cast<std::uint32_t>(i + 2));
        surfaces.push_back(std::move(sf));
    };
    for (const Drawn& d : set) add(d, true);
    for (const Drawn& d : actors) add(d, false);
    for (const Surface& s : surfaces) scene.add(s.shape);
    scene.commit();

    sm::Vec3 f = normalized(view.target - view.eye);
    sm::Vec3 r = normalized(sm::cross(f, {0, 1, 0}));
    sm::Vec3 u = sm::cross(r, f);
    float tx = std::tan(view.fovX * 0.5f), ty = tx * static_cast<float>(height) / static_cast<float>(width);
    const sm::Vec3 key = normalized({-0.4f, 1.0f, 0.5f});
    pictures::Image out;
    out.width = width;
    out.height = height;
    out.channels = 3;
    out.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    auto row = [&](int y) {
        for (int x = 0; x < width; ++x) {
            sm::Vec3 acc;
            for (int s = 0; s < 4; ++s) {
                float px = ((static_cast<float>(x) + 0.25f + 0.5f * (s % 2)) / width * 2.0f - 1.0f) * tx;
                float py = (1.0f - (static_cast<float>(y) + 0.25f + 0.5f * (s / 2)) / height * 2.0f) * ty;
                sm::Vec3 dir = normalized(f + r * px + u * py);
                bake::RayHit hit;
                if (!scene.intersect(view.eye + dir * view.near, dir, hit)) continue;
                const Surface& sf = surfaces[hit.geometry];
                const model::Triangle& t = sf.shape.triangles[hit.triangle];
                float w0 = 1.0f - hit.u - hit.v;
                const model::Vertex &a = sf.shape.corner(t, 0), &b = sf.shape.corner(t, 1), &c = sf.shape.corner(t, 2);
                model::Vec2 uv = a.uv * w0 + b.uv * hit.u + c.uv * hit.v;
                const Texture* tex = static_cast<const Texture*>(sf.diffuse);
                sm::Vec3 albedo = tex && !tex->pixels.empty() ? tex->sample(uv.x, uv.y) : sf.colour;
                if (sf.glows) {
                    acc += albedo * 1.2f;
                    continue;
                }
                sm::Vec3 n = normalized(a.normal * w0 + b.normal * hit.u + c.normal * hit.v);
                if (sm::dot(n, dir) > 0.0f) n = -n;
                float facing = std::max(0.0f, -sm::dot(n, dir));
                sm::Vec3 light;
                if (sf.lit) {
                    const Texture* lm = static_cast<const Texture*>(sf.lightmap);
                    model::Vec2 luv = a.chartUv * w0 + b.chartUv * hit.u + c.chartUv * hit.v;
                    light = (lm ? lm->sample(luv.x, luv.y) : sm::Vec3{0.4f, 0.4f, 0.4f}) * (0.7f + 0.45f * facing);
                } else {
                    float k = std::max(0.0f, sm::dot(n, key));
                    float l = 0.28f + 0.6f * k + 0.35f * facing;
                    light = {l, l * 0.97f, l * 0.92f};
                }
                acc += model::mul(albedo, light);
            }
            acc = acc * 0.25f;
            std::uint8_t* p = &out.pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = static_cast<std::uint8_t>(std::clamp(acc.x, 0.0f, 1.0f) * 255.0f + 0.5f);
            p[1] = static_cast<std::uint8_t>(std::clamp(acc.y, 0.0f, 1.0f) * 255.0f + 0.5f);
            p[2] = static_cast<std::uint8_t>(std::clamp(acc.z, 0.0f, 1.0f) * 255.0f + 0.5f);
        }
    };
    tools::parallelFor(height, row);
    return out;
}

} // namespace look
