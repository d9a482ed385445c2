#include "tools/model/unwrap.h"

#include "tools/model/surface.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

namespace model {

namespace {

struct ChartTri {
    Shape* shape;
    std::size_t tri;
    Vec2 p[3];  // flat coordinates in centimetres
};

struct Chart {
    std::vector<ChartTri> tris;
    Vec2 lo{1e30f, 1e30f}, hi{-1e30f, -1e30f};
    int w = 0, h = 0;  // cell size in texels, padding included
    int x = 0, y = 0;  // cell position in the atlas
};

int dominantDirection(sm::Vec3 n)
{
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ax >= ay && ax >= az) return n.x > 0 ? 0 : 1;
    if (ay >= az) return n.y > 0 ? 2 : 3;
    return n.z > 0 ? 4 : 5;
}

struct UnionFind {
    std::vector<std::size_t> parent;
    explicit UnionFind(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), std::size_t{0}); }
    std::size_t find(std::size_t i)
    {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    }
    void join(std::size_t a, std::size_t b)
    {
        a = find(a), b = find(b);
        if (a != b) parent[std::max(a, b)] = std::min(a, b);
    }
};

void chartsOfShape(Shape& shape, std::vector<Chart>& charts)
{
    const std::size_t n = shape.triangles.size();
    // Primitive charts, scaled so their flat area equals their true area.
    std::map<int, std::vector<std::size_t>> own;
    std::vector<std::size_t> automatic;
    for (std::size_t i = 0; i < n; ++i) {
        if (shape.triangles[i].chart >= 0) own[shape.triangles[i].chart].push_back(i);
        else automatic.push_back(i);
    }
    for (auto& [id, list] : own) {
        double area3 = 0.0, area2 = 0.0;
        for (std::size_t i : list) {
            const Triangle& t = shape.triangles[i];
            area3 += faceArea(shape, t);
            Vec2 a = shape.corner(t, 0).chartUv, b = shape.corner(t, 1).chartUv, c = shape.corner(t, 2).chartUv;
            area2 += 0.5 * std::fabs(cross2(b - a, c - a));
        }
        float k = area2 > 0.0 ? static_cast<float>(std::sqrt(area3 / area2)) : 1.0f;
        Chart chart;
        for (std::size_t i : list) {
            const Triangle& t = shape.triangles[i];
            ChartTri ct{&shape, i, {}};
            for (int c = 0; c < 3; ++c) ct.p[c] = shape.corner(t, c).chartUv * k;
            chart.tris.push_back(ct);
        }
        charts.push_back(std::move(chart));
    }
    // Automatic charts: pieces facing one axis direction, joined across
    // shared edges (positions welded at a hundredth of a millimetre).
    using Key = std::tuple<long, long, long>;
    auto key = [](sm::Vec3 p) {
        return Key{std::lround(p.x * 1000.0f), std::lround(p.y * 1000.0f), std::lround(p.z * 1000.0f)};
    };
    std::vector<int> dir(n, -1);
    for (std::size_t i : automatic) dir[i] = dominantDirection(faceNormal(shape, shape.triangles[i]));
    UnionFind uf(n);
    std::map<std::tuple<int, Key, Key>, std::size_t> edges;
    for (std::size_t i : automatic) {
        const Triangle& t = shape.triangles[i];
        for (int c = 0; c < 3; ++c) {
            Key a = key(shape.corner(t, c).position), b = key(shape.corner(t, (c + 1) % 3).position);
            if (b < a) std::swap(a, b);
            auto [it, inserted] = edges.emplace(std::tuple{dir[i], a, b}, i);
            if (!inserted) uf.join(i, it->second);
        }
    }
    std::map<std::size_t, std::size_t> chartOfRoot;
    for (std::size_t i : automatic) {
        std::size_t root = uf.find(i);
        auto [it, inserted] = chartOfRoot.emplace(root, charts.size());
        if (inserted) charts.emplace_back();
        const Triangle& t = shape.triangles[i];
        sm::Vec3 u, v;
        boxFaceFrame(axisVector(dir[i] / 2, dir[i] % 2 == 0 ? 1.0f : -1.0f), u, v);
        ChartTri ct{&shape, i, {}};
        for (int c = 0; c < 3; ++c) {
            sm::Vec3 p = shape.corner(t, c).position;
            ct.p[c] = {sm::dot(p, u), sm::dot(p, v)};
        }
        charts[it->second].tris.push_back(ct);
    }
}

int nextPowerOfTwo(int v)
{
    int p = 1;
    while (p < v) p *= 2;
    return p;
}

// Shelf packing into a strip `width` texels wide; returns the height used.
int pack(std::vector<Chart>& charts, const std::vector<std::size_t>& order, int width)
{
    int x = 0, y = 0, shelf = 0;
    for (std::size_t i : order) {
        Chart& c = charts[i];
        if (x + c.w > width) {
            y += shelf;
            x = 0;
            shelf = 0;
        }
        c.x = x;
        c.y = y;
        x += c.w;
        shelf = std::max(shelf, c.h);
    }
    return y + shelf;
}

} // namespace

Atlas unwrapLightmap(ModelMesh& mesh, const std::function<bool(const std::string&)>& takesLightmap,
                     const UnwrapOptions& options)
{
    std::vector<Chart> charts;
    for (Shape& shape : mesh.shapes)
        if (takesLightmap(shape.material)) chartsOfShape(shape, charts);
    Atlas atlas;
    atlas.charts = static_cast<int>(charts.size());
    if (charts.empty()) return atlas;
    for (Chart& c : charts)
        for (const ChartTri& t : c.tris)
            for (Vec2 p : t.p) {
                c.lo = {std::min(c.lo.x, p.x), std::min(c.lo.y, p.y)};
                c.hi = {std::max(c.hi.x, p.x), std::max(c.hi.y, p.y)};
            }
    float texel = options.texelSize;
    std::vector<std::size_t> order(charts.size());
    for (;;) {
        int widest = 0;
        for (Chart& c : charts) {
            c.w = static_cast<int>(std::ceil((c.hi.x - c.lo.x) / texel)) + 1 + 2 * options.padding;
            c.h = static_cast<int>(std::ceil((c.hi.y - c.lo.y) / texel)) + 1 + 2 * options.padding;
            widest = std::max(widest, c.w);
        }
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return charts[a].h != charts[b].h ? charts[a].h > charts[b].h : charts[a].w > charts[b].w;
        });
        // The narrowest power-of-two strip whose packing gives the smallest
        // power-of-two atlas (the squarer one on a tie).
        int bestW = 0, bestH = 0;
        long long bestArea = 0;
        for (int width = nextPowerOfTwo(widest); width <= options.maxSize; width *= 2) {
            int height = nextPowerOfTwo(pack(charts, order, width));
            if (height > options.maxSize) continue;
            long long a = static_cast<long long>(width) * height;
            if (bestW == 0 || a < bestArea || (a == bestArea && std::abs(width - height) < std::abs(bestW - bestH)))
                bestW = width, bestH = height, bestArea = a;
        }
        if (bestW > 0) {
            pack(charts, order, bestW);
            atlas.width = bestW;
            atlas.height = bestH;
            break;
        }
        texel *= 1.2f;
    }
    atlas.texelSize = texel;
    for (const Chart& c : charts) {
        atlas.chartTexels += static_cast<long long>(c.w - 2 * options.padding) * (c.h - 2 * options.padding);
        for (const ChartTri& t : c.tris) {
            Triangle& tri = t.shape->triangles[t.tri];
            for (int k = 0; k < 3; ++k) {
                float px = static_cast<float>(c.x + options.padding) + 0.5f + (t.p[k].x - c.lo.x) / texel;
                float py = static_cast<float>(c.y + options.padding) + 0.5f + (t.p[k].y - c.lo.y) / texel;
                tri.lightUv[k] = {px / static_cast<float>(atlas.width), py / static_cast<float>(atlas.height)};
            }
        }
    }
    return atlas;
}

} // namespace model
