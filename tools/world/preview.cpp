#include "tools/world/preview.h"

#include "content/image.h"
#include "tools/bake/ray_scene.h"
#include "tools/content/staging.h"
#include "tools/parallel/parallel_for.h"
#include "tools/pictures/image_writers.h"
#include "tools/world/keys.h"
#include "tools/world/materials.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace world {

using namespace model;

namespace {

struct Picture {
    int width = 0, height = 0, channels = 0;
    const std::uint8_t* pixels = nullptr;
    std::vector<std::uint8_t> owned;

    // Bilinear, wrapping; v up (row 0 is the top of the picture).
    sm::Vec3 sample(float u, float v) const
    {
        if (!pixels || width == 0) return {0.5f, 0.5f, 0.5f};
        float x = u * width - 0.5f, y = (1.0f - v) * height - 0.5f;
        int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
        float fx = x - x0, fy = y - y0;
        auto at = [&](int xi, int yi) {
            xi = ((xi % width) + width) % width;
            yi = ((yi % height) + height) % height;
            const std::uint8_t* p = pixels + (static_cast<std::size_t>(yi) * width + xi) * channels;
            return sm::Vec3{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
        };
        return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
               (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
    }
    // Nearest texel's alpha (1 without an alpha channel); v up.
    float alpha(float u, float v) const
    {
        if (!pixels || channels < 4) return 1.0f;
        int x = std::clamp(static_cast<int>(u * width), 0, width - 1);
        int y = std::clamp(static_cast<int>((1.0f - v) * height), 0, height - 1);
        return pixels[(static_cast<std::size_t>(y) * width + x) * channels + 3] / 255.0f;
    }
};

struct Surface {
    const Shape* shape;
    const MaterialSpec* material;
    const Picture* diffuse;
    const Picture* lightmap;
};

} // namespace

void renderPreviews(content::Staging& staging, const std::vector<const Model*>& models,
                    const std::map<std::string, pictures::Image>& lightmaps, const std::vector<PreviewView>& views,
                    int width, int height, const std::string& folder)
{
    std::map<std::string, Picture> textures;
    std::map<std::string, Picture> maps;
    for (const auto& [name, image] : lightmaps)
        maps[name] = Picture{image.width, image.height, image.channels, image.pixels.data(), {}};
    auto texture = [&](const std::string& name) -> const Picture* {
        if (name.empty()) return nullptr;
        auto it = textures.find(name);
        if (it != textures.end()) return &it->second;
        Picture& p = textures[name];
        ::Image image;
        for (const char* ext : {".jpg", ".png"}) {
            std::filesystem::path path = staging.root() / (name.find('/') == std::string::npos ? "textures/" + name + ext : name);
            std::error_code ec;
            if (std::filesystem::exists(path, ec) && loadImage(path.string(), image)) break;
        }
        p.width = static_cast<int>(image.width);
        p.height = static_cast<int>(image.height);
        p.channels = image.channels;
        p.owned = std::move(image.pixels);
        p.pixels = p.owned.empty() ? nullptr : p.owned.data();
        return &p;
    };
    bake::RayScene scene;
    std::vector<Surface> surfaces;
    for (const Model* m : models)
        for (const ModelMesh& mesh : m->meshes) {
            auto lm = maps.find(mesh.name);
            for (const Shape& shape : mesh.shapes) {
                const MaterialSpec* mat = findMaterial(shape.material);
                if (!mat || mat->seeThrough() || shape.triangles.empty()) continue;
                scene.add(shape);
                surfaces.push_back({&shape, mat, texture(mat->diffuse),
                                    mat->takesLightmap() && lm != maps.end() ? &lm->second : nullptr});
            }
        }
    scene.commit();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const PreviewView& view : views) {
        sm::Mat4 inv = sm::inverse(lookAtView(view.eye, view.target));
        float tx = std::tan(view.fovX * 0.5f), ty = tx * static_cast<float>(height) / static_cast<float>(width);
        bake::RayScene moving;
        std::vector<const MaterialSpec*> movingMaterials;
        std::vector<const Picture*> movingPictures;
        for (const Shape& shape : view.moving) {
            moving.add(shape);
            movingMaterials.push_back(findMaterial(shape.material));
            movingPictures.push_back(movingMaterials.back() ? texture(movingMaterials.back()->diffuse) : nullptr);
        }
        moving.commit();
        std::vector<const Picture*> cardPictures;
        for (const PreviewCard& card : view.cards) cardPictures.push_back(texture(card.picture));
        pictures::Image out;
        out.width = width;
        out.height = height;
        out.channels = 3;
        out.pixels.resize(static_cast<std::size_t>(width) * height * 3);
        auto shade = [&](sm::Vec3 dir) -> sm::Vec3 {
            bake::RayHit hit, movingHit;
            bool set = scene.intersect(view.eye, dir, hit);
            bool dynamic = !view.moving.empty() && moving.intersect(view.eye, dir, movingHit) &&
                           (!set || movingHit.distance < hit.distance);
            float nearest = dynamic ? movingHit.distance : set ? hit.distance : 1e30f;
            // A greeting in front of everything else, where its picture is opaque.
            for (std::size_t c = 0; c < view.cards.size(); ++c) {
                const PreviewCard& card = view.cards[c];
                sm::Vec3 n = sm::cross(card.along, card.up);
                float denom = sm::dot(dir, n);
                if (std::fabs(denom) < 1e-6f) continue;
                float d = sm::dot(card.origin - view.eye, n) / denom;
                if (d <= 0.0f || d >= nearest) continue;
                sm::Vec3 p = view.eye + dir * d - card.origin;
                float u = sm::dot(p, card.along) / card.width + 0.5f, v = sm::dot(p, card.up) / card.height + 1.0f;
                if (u < 0.0f || u > 1.0f || v < 0.0f || v > 1.0f || u > card.progress) continue;
                if (cardPictures[c]->alpha(u, v) < 0.5f) continue;
                return cardPictures[c]->sample(u, v);
            }
            if (dynamic) {
                const Shape& shape = view.moving[movingHit.geometry];
                const MaterialSpec* mat = movingMaterials[movingHit.geometry];
                const Triangle& t = shape.triangles[movingHit.triangle];
                float w0 = 1.0f - movingHit.u - movingHit.v;
                const Vertex &a = shape.corner(t, 0), &b = shape.corner(t, 1), &c = shape.corner(t, 2);
                if (!mat) return {1, 0, 1};
                if (mat->glows()) return mat->colour * 1.1f;
                Vec2 uv = (a.uv * w0 + b.uv * movingHit.u + c.uv * movingHit.v) * (1.0f / mat->tile);
                const Picture* pic = movingPictures[movingHit.geometry];
                sm::Vec3 albedo = pic && pic->pixels ? pic->sample(uv.x, uv.y) : mat->colour;
                sm::Vec3 n = normalized(a.normal * w0 + b.normal * movingHit.u + c.normal * movingHit.v);
                float facing = std::fabs(sm::dot(n, dir));
                return albedo * (0.3f + 0.85f * facing);
            }
            if (!set) return {};
            const Surface& sf = surfaces[hit.geometry];
            const Triangle& t = sf.shape->triangles[hit.triangle];
            float w0 = 1.0f - hit.u - hit.v;
            const Vertex &a = sf.shape->corner(t, 0), &b = sf.shape->corner(t, 1), &c = sf.shape->corner(t, 2);
            Vec2 uv = (a.uv * w0 + b.uv * hit.u + c.uv * hit.v) * (1.0f / sf.material->tile);
            sm::Vec3 albedo = sf.diffuse ? sf.diffuse->sample(uv.x, uv.y) : sf.material->colour;
            if (sf.material->glows()) return albedo * 1.1f;
            sm::Vec3 light{0.3f, 0.3f, 0.3f};
            if (sf.lightmap) {
                Vec2 luv = t.lightUv[0] * w0 + t.lightUv[1] * hit.u + t.lightUv[2] * hit.v;
                light = sf.lightmap->sample(luv.x, luv.y);
            }
            // As the show's programs light it: the baked light,
            // brightened where the light riding with the camera
            // falls square on the surface.
            sm::Vec3 n = normalized(a.normal * w0 + b.normal * hit.u + c.normal * hit.v);
            float facing = std::max(0.0f, -sm::dot(n, dir));
            return mul(albedo, light * (sf.lightmap ? 0.7f + 0.45f * facing : 1.0f));
        };
        auto row = [&](int y) {
            for (int x = 0; x < width; ++x) {
                sm::Vec3 acc;
                for (int s = 0; s < 4; ++s) {
                    float px = ((static_cast<float>(x) + 0.25f + 0.5f * (s % 2)) / width * 2.0f - 1.0f) * tx;
                    float py = (1.0f - (static_cast<float>(y) + 0.25f + 0.5f * (s / 2)) / height * 2.0f) * ty;
                    sm::Vec3 dir = normalized(sm::transformPoint(inv, {px, py, -1.0f}) - view.eye);
                    acc += shade(dir);
                }
                acc = acc * 0.25f;
                std::uint8_t* p = &out.pixels[(static_cast<std::size_t>(y) * width + x) * 3];
                p[0] = static_cast<std::uint8_t>(std::clamp(acc.x, 0.0f, 1.0f) * 255.0f + 0.5f);
                p[1] = static_cast<std::uint8_t>(std::clamp(acc.y, 0.0f, 1.0f) * 255.0f + 0.5f);
                p[2] = static_cast<std::uint8_t>(std::clamp(acc.z, 0.0f, 1.0f) * 255.0f + 0.5f);
            }
        };
        tools::parallelFor(height, row);
        std::string error;
        if (!pictures::writeJpeg(folder + "/" + view.name + ".jpg", out, 88, error)) staging.fail(error);
    }
}

} // namespace world
