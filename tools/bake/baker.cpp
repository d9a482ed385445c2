#include "tools/bake/baker.h"

#include "tools/bake/ray_scene.h"

#include "tools/model/vec_ops.h"
#include "tools/parallel/parallel_for.h"


#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace bake {

using namespace model;


namespace {

constexpr float kPi = 3.14159265358979f;

// One Embree geometry: the triangles of one shape of one mesh.
struct Record {
    const model::Shape* shape;
    int target;  // index into the targets, -1 for a blocker
    SurfaceInfo surface;
};

// Where a texel samples its surface.
struct TexelSample {
    const model::Shape* shape = nullptr;
    int tri = -1;
    float b[3] = {0, 0, 0};
    float distance = 1e9f;
};

struct Sample {
    sm::Vec3 p, n, ng, t1, t2;
    bool valid = false;
};

struct TargetData {
    int width = 0, height = 0;
    float texel = 1.0f;
    std::vector<Sample> samples;
    std::vector<sm::Vec3> direct;
    std::vector<sm::Vec3> light;
    std::vector<sm::Vec3> filtered;
};

constexpr int kFilterRadius = 2;

std::uint32_t hash(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

float unit(std::uint32_t h) { return static_cast<float>(h >> 8) * (1.0f / 16777216.0f); }

float radicalInverse(std::uint32_t bits)
{
    bits = (bits << 16u) | (bits >> 16u);
    bits = ((bits & 0x55555555u) << 1u) | ((bits & 0xAAAAAAAAu) >> 1u);
    bits = ((bits & 0x33333333u) << 2u) | ((bits & 0xCCCCCCCCu) >> 2u);
    bits = ((bits & 0x0F0F0F0Fu) << 4u) | ((bits & 0xF0F0F0F0u) >> 4u);
    bits = ((bits & 0x00FF00FFu) << 8u) | ((bits & 0xFF00FF00u) >> 8u);
    return static_cast<float>(bits) * 2.3283064365386963e-10f;
}

void basis(sm::Vec3 n, sm::Vec3& t1, sm::Vec3& t2)
{
    sm::Vec3 other = std::fabs(n.y) < 0.9f ? sm::Vec3{0, 1, 0} : sm::Vec3{1, 0, 0};
    t1 = normalized(sm::cross(other, n));
    t2 = sm::cross(n, t1);
}

// The point of triangle abc nearest to p, as barycentric weights.
void closestPoint(Vec2 p, Vec2 a, Vec2 b, Vec2 c, float w[3])
{
    Vec2 ab = b - a, ac = c - a, ap = p - a;
    float d1 = model::dot2(ab, ap), d2 = model::dot2(ac, ap);
    if (d1 <= 0 && d2 <= 0) { w[0] = 1, w[1] = 0, w[2] = 0; return; }
    Vec2 bp = p - b;
    float d3 = model::dot2(ab, bp), d4 = model::dot2(ac, bp);
    if (d3 >= 0 && d4 <= d3) { w[0] = 0, w[1] = 1, w[2] = 0; return; }
    float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) {
        float v = d1 / (d1 - d3);
        w[0] = 1 - v, w[1] = v, w[2] = 0;
        return;
    }
    Vec2 cp = p - c;
    float d5 = model::dot2(ab, cp), d6 = model::dot2(ac, cp);
    if (d6 >= 0 && d5 <= d6) { w[0] = 0, w[1] = 0, w[2] = 1; return; }
    float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) {
        float v = d2 / (d2 - d6);
        w[0] = 1 - v, w[1] = 0, w[2] = v;
        return;
    }
    float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        float v = (d4 - d3) / ((d4 - d3) + (d5 - d6));
        w[0] = 0, w[1] = 1 - v, w[2] = v;
        return;
    }
    float denom = 1.0f / (va + vb + vc);
    float v = vb * denom, u = vc * denom;
    w[0] = 1 - v - u, w[1] = v, w[2] = u;
}

void rasterise(const Target& target, TargetData& data)
{
    const int W = target.atlas.width, H = target.atlas.height;
    std::vector<TexelSample> texels(static_cast<std::size_t>(W) * H);
    for (const model::Shape& shape : target.mesh->shapes) {
        if (!target.takesLightmap(shape.material)) continue;
        for (std::size_t ti = 0; ti < shape.triangles.size(); ++ti) {
            const model::Triangle& t = shape.triangles[ti];
            Vec2 q[3];
            for (int k = 0; k < 3; ++k) q[k] = {t.lightUv[k].x * W, t.lightUv[k].y * H};
            if (std::fabs(model::cross2(q[1] - q[0], q[2] - q[0])) < 1e-8f) continue;
            int x0 = std::max(0, static_cast<int>(std::floor(std::min({q[0].x, q[1].x, q[2].x}) - 1)));
            int x1 = std::min(W - 1, static_cast<int>(std::floor(std::max({q[0].x, q[1].x, q[2].x}) + 1)));
            int y0 = std::max(0, static_cast<int>(std::floor(std::min({q[0].y, q[1].y, q[2].y}) - 1)));
            int y1 = std::min(H - 1, static_cast<int>(std::floor(std::max({q[0].y, q[1].y, q[2].y}) + 1)));
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    Vec2 c{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
                    float w[3];
                    closestPoint(c, q[0], q[1], q[2], w);
                    Vec2 p = q[0] * w[0] + q[1] * w[1] + q[2] * w[2];
                    float d = model::length2d(p - c);
                    // The texel's square touches the triangle.
                    if (d > 0.7072f) continue;
                    TexelSample& s = texels[static_cast<std::size_t>(y) * W + x];
                    if (d < s.distance) s = {&shape, static_cast<int>(ti), {w[0], w[1], w[2]}, d};
                }
        }
    }
    data.width = W;
    data.height = H;
    data.texel = target.atlas.texelSize;
    data.samples.assign(texels.size(), {});
    for (std::size_t i = 0; i < texels.size(); ++i) {
        const TexelSample& s = texels[i];
        if (!s.shape) continue;
        const model::Triangle& t = s.shape->triangles[static_cast<std::size_t>(s.tri)];
        Sample& out = data.samples[i];
        for (int k = 0; k < 3; ++k) {
            const model::Vertex& v = s.shape->corner(t, k);
            out.p += v.position * s.b[k];
            out.n += v.normal * s.b[k];
        }
        out.ng = model::faceNormal(*s.shape, t);
        // Samples on a triangle's border would sit on the plane of the
        // surface beyond a corner and see past it: move them a centimetre
        // inwards.
        sm::Vec3 centre = (s.shape->corner(t, 0).position + s.shape->corner(t, 1).position +
                           s.shape->corner(t, 2).position) / 3.0f;
        sm::Vec3 in = centre - out.p;
        float reach = sm::length(in);
        if (reach > 1e-4f) out.p += in * (std::min(1.0f, 0.5f * reach) / reach);
        out.n = normalized(out.n);
        if (sm::dot(out.n, out.ng) < 0.2f) out.n = out.ng;
        basis(out.ng, out.t1, out.t2);
        out.valid = true;
    }
}

// Fills the texels outside the charts from their nearest filled neighbours,
// in order of distance.
void dilate(std::vector<sm::Vec3>& light, const std::vector<Sample>& samples, int W, int H)
{
    std::vector<char> filled(light.size(), 0);
    std::vector<int> frontier;
    for (std::size_t i = 0; i < light.size(); ++i)
        if (samples[i].valid) filled[i] = 1, frontier.push_back(static_cast<int>(i));
    if (frontier.empty()) return;
    while (!frontier.empty()) {
        std::vector<int> next;
        std::vector<int> candidates;
        for (int i : frontier) {
            int x = i % W, y = i / W;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
                    int j = ny * W + nx;
                    if (!filled[static_cast<std::size_t>(j)]) candidates.push_back(j);
                }
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        std::vector<sm::Vec3> values(candidates.size());
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            int j = candidates[c], x = j % W, y = j / W;
            sm::Vec3 sum;
            float n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= W || ny >= H) continue;
                    std::size_t k = static_cast<std::size_t>(ny * W + nx);
                    if (filled[k]) sum += light[k], n += 1;
                }
            values[c] = sum / n;
        }
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            light[static_cast<std::size_t>(candidates[c])] = values[c];
            filled[static_cast<std::size_t>(candidates[c])] = 1;
            next.push_back(candidates[c]);
        }
        frontier = std::move(next);
    }
}

} // namespace

Result bakeLightmaps(const std::vector<Target>& targets, const std::vector<const model::ModelMesh*>& blockers,
                     const Lighting& L, const SurfaceOf& surfaceOf)
{
    auto started = std::chrono::steady_clock::now();
    Result result;
    RayScene tracer;
    std::vector<Record> records;
    auto addMesh = [&](const model::ModelMesh& mesh, int target) {
        for (const model::Shape& shape : mesh.shapes) {
            SurfaceInfo info = surfaceOf(shape.material);
            if (!info.blocksLight || shape.triangles.empty()) continue;
            tracer.add(shape);
            records.push_back({&shape, target, info});
        }
    };
    for (std::size_t i = 0; i < targets.size(); ++i) addMesh(*targets[i].mesh, static_cast<int>(i));
    for (const model::ModelMesh* m : blockers) addMesh(*m, -1);
    tracer.commit();

    std::vector<TargetData> data(targets.size());
    tools::parallelFor(static_cast<int>(targets.size()), [&](int i) { rasterise(targets[static_cast<std::size_t>(i)], data[static_cast<std::size_t>(i)]); });

    const sm::Vec3 toSun = normalized(-L.sunTravel);
    sm::Vec3 sunSide, sunUp;
    basis(toSun, sunSide, sunUp);
    // Work in rows of texels, every target one after another.
    struct Row {
        int target, y;
    };
    std::vector<Row> rows;
    for (std::size_t i = 0; i < data.size(); ++i)
        for (int y = 0; y < data[i].height; ++y) rows.push_back({static_cast<int>(i), y});
    std::vector<long long> rowRays(rows.size(), 0);

    // Pass 1: sun and lamps.
    for (TargetData& d : data) d.direct.assign(d.samples.size(), {});
    tools::parallelFor(static_cast<int>(rows.size()), [&](int r) {
        TargetData& d = data[static_cast<std::size_t>(rows[static_cast<std::size_t>(r)].target)];
        int y = rows[static_cast<std::size_t>(r)].y;
        long long rays = 0;
        for (int x = 0; x < d.width; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * d.width + x;
            const Sample& s = d.samples[i];
            if (!s.valid) continue;
            sm::Vec3 o = s.p + s.ng * 0.4f;
            sm::Vec3 e;
            float cosSun = sm::dot(s.n, toSun);
            if (cosSun > 0.0f && sm::dot(s.ng, toSun) > 0.0f) {
                int lit = 0;
                for (int k = 0; k < L.sunRays; ++k) {
                    // Directions over the sun's disc (half a degree across):
                    // shadow edges soften with distance as they should.
                    float a = 6.2831853f * (static_cast<float>(k) + 0.5f) / static_cast<float>(L.sunRays);
                    sm::Vec3 dir = normalized(toSun + (sunSide * std::cos(a) + sunUp * std::sin(a)) * 0.0045f);
                    if (!tracer.occluded(o, dir, 1e5f)) ++lit;
                    ++rays;
                }
                e += L.sunColour * (cosSun * static_cast<float>(lit) / static_cast<float>(L.sunRays));
            }
            std::uint32_t h = hash(static_cast<std::uint32_t>(i) * 2654435761u ^ static_cast<std::uint32_t>(d.width));
            for (const Lamp& lamp : L.lamps) {
                sm::Vec3 toLamp = lamp.position - s.p;
                float dist = sm::length(toLamp);
                if (dist > lamp.range || dist < 1e-3f) continue;
                sm::Vec3 dir = toLamp / dist;
                float cosL = sm::dot(s.n, dir);
                if (cosL <= 0.0f) continue;
                float fall = 1.0f - (dist / lamp.range) * (dist / lamp.range);
                float power = lamp.intensity * 10000.0f / std::max(dist * dist, 400.0f) * fall * fall * cosL;
                int lit = 0;
                for (int k = 0; k < L.lampRays; ++k) {
                    // A point on the lamp's sphere (a fixed spiral, turned per texel).
                    float u = (static_cast<float>(k) + unit(hash(h + static_cast<std::uint32_t>(k)))) / static_cast<float>(L.lampRays);
                    float z = 1.0f - 2.0f * u, rr = std::sqrt(std::max(0.0f, 1.0f - z * z));
                    float phi = 2.399963f * static_cast<float>(k) + 6.2831853f * unit(h);
                    sm::Vec3 q = lamp.position + sm::Vec3{rr * std::cos(phi), z, rr * std::sin(phi)} * lamp.radius;
                    sm::Vec3 to = q - o;
                    float len = sm::length(to);
                    if (!tracer.occluded(o, to / len, len * 0.999f)) ++lit;
                    ++rays;
                }
                e += lamp.colour * (power * static_cast<float>(lit) / static_cast<float>(L.lampRays));
            }
            d.direct[i] = e;
        }
        rowRays[static_cast<std::size_t>(r)] += rays;
    });

    // Pass 2: the gather (sky, one bounce, occlusion).
    for (TargetData& d : data) {
        d.light.assign(d.samples.size(), {});
        d.filtered.assign(d.samples.size(), {});
    }
    tools::parallelFor(static_cast<int>(rows.size()), [&](int r) {
        TargetData& d = data[static_cast<std::size_t>(rows[static_cast<std::size_t>(r)].target)];
        int y = rows[static_cast<std::size_t>(r)].y;
        long long rays = 0;
        for (int x = 0; x < d.width; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * d.width + x;
            const Sample& s = d.samples[i];
            if (!s.valid) continue;
            sm::Vec3 o = s.p + s.ng * 0.4f;
            sm::Vec3 t1, t2;
            basis(s.n, t1, t2);
            std::uint32_t h = hash(static_cast<std::uint32_t>(i) * 747796405u + static_cast<std::uint32_t>(d.height));
            float r1 = unit(h), r2 = unit(hash(h));
            sm::Vec3 gathered;
            int near = 0;
            for (int k = 0; k < L.gatherRays; ++k) {
                float u = std::fmod((static_cast<float>(k) + 0.5f) / static_cast<float>(L.gatherRays) + r1, 1.0f);
                float v = std::fmod(radicalInverse(static_cast<std::uint32_t>(k)) + r2, 1.0f);
                float rad = std::sqrt(u), phi = 6.2831853f * v;
                sm::Vec3 dir = normalized(t1 * (rad * std::cos(phi)) + t2 * (rad * std::sin(phi)) +
                                          s.n * std::sqrt(std::max(0.0f, 1.0f - u)));
                ++rays;
                if (sm::dot(dir, s.ng) <= 0.01f) {
                    ++near;
                    continue;
                }
                RayHit rh;
                if (!tracer.intersect(o, dir, rh)) {
                    gathered += dir.y >= 0.0f ? L.skyHorizon + (L.skyZenith - L.skyHorizon) * dir.y : L.skyHorizon * 0.5f;
                    continue;
                }
                if (rh.distance < L.occlusionRadius) ++near;
                const Record& rec = records[rh.geometry];
                sm::Vec3 ng = rh.normal;
                if (sm::dot(ng, dir) > 0.0f) continue;  // the back of a surface: inside something
                sm::Vec3 incoming = L.ambient;
                if (rec.target >= 0) {
                    const model::Triangle& t = rec.shape->triangles[rh.triangle];
                    float bu = rh.u, bv = rh.v, bw = 1.0f - bu - bv;
                    Vec2 uv = t.lightUv[0] * bw + t.lightUv[1] * bu + t.lightUv[2] * bv;
                    const TargetData& o2 = data[static_cast<std::size_t>(rec.target)];
                    int tx = std::clamp(static_cast<int>(uv.x * o2.width), 0, o2.width - 1);
                    int ty = std::clamp(static_cast<int>(uv.y * o2.height), 0, o2.height - 1);
                    incoming = o2.direct[static_cast<std::size_t>(ty) * o2.width + tx] + L.ambient;
                }
                gathered += model::mul(rec.surface.albedo, incoming);
            }
            float open = 1.0f - static_cast<float>(near) / static_cast<float>(L.gatherRays);
            d.light[i] = gathered / static_cast<float>(L.gatherRays) + L.ambient * open;
        }
        rowRays[static_cast<std::size_t>(r)] += rays;
    });
    for (long long n : rowRays) result.rays += n;

    // The gathered light is noisy at a few dozen rays: average it over the
    // texels around that lie on the same surface (close by, facing alike);
    // the direct light keeps its sharp shadows.
    tools::parallelFor(static_cast<int>(rows.size()), [&](int r) {
        TargetData& d = data[static_cast<std::size_t>(rows[static_cast<std::size_t>(r)].target)];
        int y = rows[static_cast<std::size_t>(r)].y;
        if (d.filtered.empty()) return;
        for (int x = 0; x < d.width; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * d.width + x;
            const Sample& s = d.samples[i];
            if (!s.valid) continue;
            sm::Vec3 sum;
            float n = 0.0f;
            const float reach = 3.5f * d.texel;
            for (int dy = -kFilterRadius; dy <= kFilterRadius; ++dy)
                for (int dx = -kFilterRadius; dx <= kFilterRadius; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= d.width || ny >= d.height) continue;
                    std::size_t j = static_cast<std::size_t>(ny) * d.width + nx;
                    const Sample& o = d.samples[j];
                    if (!o.valid || sm::dot(o.n, s.n) < 0.9f || sm::length(o.p - s.p) > reach) continue;
                    sum += d.light[j];
                    n += 1.0f;
                }
            d.filtered[i] = d.direct[i] + sum / n;
        }
    });
    for (TargetData& d : data) d.light.swap(d.filtered);

    for (TargetData& d : data) {
        for (const Sample& s : d.samples) result.texels += s.valid ? 1 : 0;
        dilate(d.light, d.samples, d.width, d.height);
        pictures::Image image;
        image.width = d.width;
        image.height = d.height;
        image.channels = 3;
        image.pixels.resize(static_cast<std::size_t>(d.width) * d.height * 3);
        for (int y = 0; y < d.height; ++y)
            for (int x = 0; x < d.width; ++x) {
                sm::Vec3 e = d.light[static_cast<std::size_t>(y) * d.width + x];
                // Rows top to bottom: atlas row y counts from the bottom.
                std::uint8_t* px = &image.pixels[(static_cast<std::size_t>(d.height - 1 - y) * d.width + x) * 3];
                const float c[3] = {e.x, e.y, e.z};
                for (int k = 0; k < 3; ++k) {
                    float v = 1.0f - std::exp(-L.exposure * std::max(0.0f, c[k]));
                    // Never quite black: a baked texel is told apart from an empty one.
                    px[k] = static_cast<std::uint8_t>(std::clamp(std::lround(v * 255.0f), 4L, 255L));
                }
            }
        result.maps.push_back(std::move(image));
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

} // namespace bake
