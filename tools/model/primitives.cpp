#include "tools/model/primitives.h"

#include "tools/model/surface.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace model {

namespace {

sm::Vec3 newellNormal(const std::vector<sm::Vec3>& pts)
{
    sm::Vec3 n;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        sm::Vec3 a = pts[i], b = pts[(i + 1) % pts.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return normalized(n);
}

// A convex flat polygon, turned to face along `outward`, as a fan.
void addConvexPolygon(Shape& shape, std::vector<sm::Vec3> pts, sm::Vec3 outward, int chart = -1)
{
    sm::Vec3 n = newellNormal(pts);
    if (sm::dot(n, outward) < 0.0f) {
        std::reverse(pts.begin(), pts.end());
        n = -n;
    }
    sm::Vec3 u, v;
    boxFaceFrame(n, u, v);
    std::vector<std::uint32_t> ids;
    for (sm::Vec3 p : pts) ids.push_back(shape.addVertex(p, n, {sm::dot(p, u), sm::dot(p, v)}));
    for (std::size_t i = 1; i + 1 < ids.size(); ++i) shape.addTriangle(ids[0], ids[i], ids[i + 1], chart);
}

// A flat polygon given by its outline in its own plane (x along `xAxis`, y
// along `yAxis`, counter-clockwise seen from the side `normal` points to).
void addPlanarPolygon(Shape& shape, const std::vector<Vec2>& outline, sm::Vec3 origin, sm::Vec3 xAxis,
                      sm::Vec3 yAxis, sm::Vec3 normal, bool reverse)
{
    std::vector<int> tris = triangulate(outline);
    sm::Vec3 u, v;
    boxFaceFrame(normal, u, v);
    std::vector<std::uint32_t> ids;
    for (Vec2 p : outline) {
        sm::Vec3 w = origin + xAxis * p.x + yAxis * p.y;
        ids.push_back(shape.addVertex(w, normal, {sm::dot(w, u), sm::dot(w, v)}));
    }
    for (std::size_t i = 0; i + 2 < tris.size(); i += 3) {
        auto a = ids[static_cast<std::size_t>(tris[i])], b = ids[static_cast<std::size_t>(tris[i + 1])],
             c = ids[static_cast<std::size_t>(tris[i + 2])];
        if (reverse) shape.addTriangle(a, c, b);
        else shape.addTriangle(a, b, c);
    }
}

bool degenerate(const Shape& s, std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    sm::Vec3 n = sm::cross(s.vertices[b].position - s.vertices[a].position,
                           s.vertices[c].position - s.vertices[a].position);
    return sm::dot(n, n) < 1e-10f;
}

void addQuadSkippingDegenerate(Shape& s, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                               int chart)
{
    if (!degenerate(s, a, b, c)) s.addTriangle(a, b, c, chart);
    if (!degenerate(s, a, c, d)) s.addTriangle(a, c, d, chart);
}

// One point of a profile as it is carried around or along: its position,
// its outward normal (right of the direction of travel), the arc length up
// to it and the smooth band (light-map chart) it belongs to. A hard corner
// appears twice, once ending a band and once starting the next.
struct ProfilePoint {
    Vec2 p, n;
    float s = 0.0f;
    int band = 0;
};

Vec2 rightNormal(Vec2 a, Vec2 b)
{
    Vec2 d = b - a;
    float l = length2d(d);
    return l > 0.0f ? Vec2{d.y / l, -d.x / l} : Vec2{};
}

Vec2 normalized2(Vec2 v)
{
    float l = length2d(v);
    return l > 0.0f ? v * (1.0f / l) : v;
}

std::vector<ProfilePoint> profilePoints(std::vector<Vec2> pts, bool closed, float creaseDegrees)
{
    // Drop repeated points; they would give segments without a direction.
    std::vector<Vec2> clean;
    for (Vec2 p : pts)
        if (clean.empty() || length2d(p - clean.back()) > 1e-5f) clean.push_back(p);
    if (closed && clean.size() > 1 && length2d(clean.front() - clean.back()) <= 1e-5f) clean.pop_back();
    std::vector<ProfilePoint> out;
    const std::size_t m = clean.size();
    if (m < 2) return out;
    const float cosCrease = std::cos(radians(creaseDegrees));
    std::vector<Vec2> segN;
    std::size_t segments = closed ? m : m - 1;
    for (std::size_t k = 0; k < segments; ++k) segN.push_back(rightNormal(clean[k], clean[(k + 1) % m]));

    int band = 0;
    float s = 0.0f;
    auto emit = [&](Vec2 p, Vec2 n) { out.push_back({p, n, s, band}); };
    auto corner = [&](std::size_t j, bool first, bool last) {
        Vec2 p = clean[j];
        bool hasIn = closed || j > 0, hasOut = closed || j + 1 < m;
        Vec2 nIn = hasIn ? segN[(j + segments - 1) % segments] : Vec2{};
        Vec2 nOut = hasOut ? segN[j % segments] : Vec2{};
        if (!hasIn) return emit(p, nOut);
        if (!hasOut) return emit(p, nIn);
        bool smooth = dot2(nIn, nOut) >= cosCrease;
        if (smooth) return emit(p, normalized2(nIn + nOut));
        if (!first) emit(p, nIn);
        if (!last) {
            if (!first) ++band;
            emit(p, nOut);
        }
    };
    for (std::size_t j = 0; j < m; ++j) {
        if (j > 0) s += length2d(clean[j] - clean[j - 1]);
        corner(j, j == 0, false);
    }
    if (closed) {
        s += length2d(clean[0] - clean[m - 1]);
        corner(0, false, true);
    }
    return out;
}

// Whether entries e and e + 1 are the two halves of a hard corner.
bool cornerPair(const std::vector<ProfilePoint>& pts, std::size_t e)
{
    return length2d(pts[e].p - pts[e + 1].p) <= 1e-5f;
}

} // namespace

Shape box(const std::string& material, sm::Vec3 size, unsigned faces)
{
    return bevelBox(material, size, 0.0f, faces);
}

Shape bevelBox(const std::string& material, sm::Vec3 size, float bevel, unsigned faces)
{
    Shape shape(material);
    sm::Vec3 H = size * 0.5f;
    float b = std::clamp(bevel, 0.0f, 0.999f * std::min({H.x, H.y, H.z}));
    sm::Vec3 h = {H.x - b, H.y - b, H.z - b};
    // The point of the corner with signs s on the face of axis a.
    auto P = [&](int a, std::array<float, 3> s) {
        return sm::Vec3{s[0] * (a == 0 ? H.x : h.x), s[1] * (a == 1 ? H.y : h.y), s[2] * (a == 2 ? H.z : h.z)};
    };
    const unsigned bits[3][2] = {{kPosX, kNegX}, {kPosY, kNegY}, {kPosZ, kNegZ}};
    for (int a = 0; a < 3; ++a)
        for (int side = 0; side < 2; ++side) {
            if (!(faces & bits[a][side])) continue;
            float sa = side == 0 ? 1.0f : -1.0f;
            int b1 = (a + 1) % 3, b2 = (a + 2) % 3;
            std::vector<sm::Vec3> pts;
            const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (auto& c : corners) {
                std::array<float, 3> s{};
                s[static_cast<std::size_t>(a)] = sa;
                s[static_cast<std::size_t>(b1)] = c[0];
                s[static_cast<std::size_t>(b2)] = c[1];
                pts.push_back(P(a, s));
            }
            addConvexPolygon(shape, pts, axisVector(a, sa));
        }
    if (b <= 0.0f) return shape;
    for (int a = 0; a < 3; ++a)
        for (int c = a + 1; c < 3; ++c) {
            int third = 3 - a - c;
            for (float sa : {1.0f, -1.0f})
                for (float sc : {1.0f, -1.0f}) {
                    std::vector<sm::Vec3> pts;
                    for (float st : {-1.0f, 1.0f}) {
                        std::array<float, 3> s{};
                        s[static_cast<std::size_t>(a)] = sa;
                        s[static_cast<std::size_t>(c)] = sc;
                        s[static_cast<std::size_t>(third)] = st;
                        if (st < 0) {
                            pts.push_back(P(a, s));
                            pts.push_back(P(c, s));
                        } else {
                            pts.push_back(P(c, s));
                            pts.push_back(P(a, s));
                        }
                    }
                    addConvexPolygon(shape, pts, axisVector(a, sa) + axisVector(c, sc));
                }
        }
    for (float sx : {1.0f, -1.0f})
        for (float sy : {1.0f, -1.0f})
            for (float sz : {1.0f, -1.0f}) {
                std::array<float, 3> s{sx, sy, sz};
                addConvexPolygon(shape, {P(0, s), P(1, s), P(2, s)}, {sx, sy, sz});
            }
    return shape;
}

Shape rectangle(const std::string& material, Vec2 size)
{
    float w = size.x * 0.5f, hh = size.y * 0.5f;
    return polygon(material, {{-w, -hh}, {w, -hh}, {w, hh}, {-w, hh}});
}

Shape polygon(const std::string& material, const std::vector<Vec2>& outline)
{
    Shape shape(material);
    addPlanarPolygon(shape, outline, {}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, false);
    return shape;
}

Shape lathe(const std::string& material, const std::vector<Vec2>& profile, int segments, float creaseDegrees,
            float angle0, float angle1)
{
    Shape shape(material);
    std::vector<ProfilePoint> pts = profilePoints(profile, false, creaseDegrees);
    if (pts.size() < 2 || segments < 1) return shape;
    int bands = pts.back().band + 1;
    std::vector<float> bandRadius(static_cast<std::size_t>(bands), 0.0f);
    for (const ProfilePoint& p : pts)
        bandRadius[static_cast<std::size_t>(p.band)] = std::max(bandRadius[static_cast<std::size_t>(p.band)], p.p.x);
    const std::size_t ring = static_cast<std::size_t>(segments) + 1;
    std::vector<std::uint32_t> ids;
    for (const ProfilePoint& p : pts)
        for (std::size_t i = 0; i < ring; ++i) {
            float t = angle0 + (angle1 - angle0) * static_cast<float>(i) / static_cast<float>(segments);
            float c = std::cos(t), s = std::sin(t);
            sm::Vec3 pos{p.p.x * c, p.p.y, -p.p.x * s};
            sm::Vec3 n = normalized(sm::Vec3{p.n.x * c, p.n.y, -p.n.x * s});
            float rRef = bandRadius[static_cast<std::size_t>(p.band)];
            ids.push_back(shape.addVertex(pos, n, {t * p.p.x, p.s}, {t * rRef, p.s}));
        }
    for (std::size_t e = 0; e + 1 < pts.size(); ++e) {
        if (cornerPair(pts, e)) continue;
        for (std::size_t i = 0; i < static_cast<std::size_t>(segments); ++i) {
            std::uint32_t a = ids[e * ring + i], b = ids[e * ring + i + 1], c = ids[(e + 1) * ring + i + 1],
                          d = ids[(e + 1) * ring + i];
            addQuadSkippingDegenerate(shape, a, b, c, d, pts[e + 1].band);
        }
    }
    return shape;
}

Shape cone(const std::string& material, float radius0, float radius1, float height, int segments, bool caps)
{
    Shape shape = lathe(material, {{radius0, 0.0f}, {radius1, height}}, segments);
    if (!caps) return shape;
    for (int end = 0; end < 2; ++end) {
        float r = end == 0 ? radius0 : radius1;
        if (r <= 0.0f) continue;
        std::vector<sm::Vec3> pts;
        for (int i = 0; i < segments; ++i) {
            float t = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(segments);
            pts.push_back({r * std::cos(t), end == 0 ? 0.0f : height, -r * std::sin(t)});
        }
        addConvexPolygon(shape, pts, {0.0f, end == 0 ? -1.0f : 1.0f, 0.0f});
    }
    return shape;
}

Shape cylinder(const std::string& material, float radius, float height, int segments, bool caps)
{
    return cone(material, radius, radius, height, segments, caps);
}

Shape sphere(const std::string& material, float radius, int segments, int rings)
{
    std::vector<Vec2> profile;
    for (int j = 0; j <= rings; ++j) {
        float phi = kPi * static_cast<float>(j) / static_cast<float>(rings);
        profile.push_back({radius * std::sin(phi), -radius * std::cos(phi)});
    }
    return lathe(material, profile, segments, 80.0f);
}

Shape capsule(const std::string& material, float radius, float length, int segments, int rings)
{
    std::vector<Vec2> profile;
    for (int j = 0; j <= rings; ++j) {
        float phi = 0.5f * kPi * static_cast<float>(j) / static_cast<float>(rings);
        profile.push_back({radius * std::sin(phi), -0.5f * length - radius * std::cos(phi)});
    }
    for (int j = 0; j <= rings; ++j) {
        float phi = 0.5f * kPi + 0.5f * kPi * static_cast<float>(j) / static_cast<float>(rings);
        profile.push_back({radius * std::sin(phi), 0.5f * length - radius * std::cos(phi)});
    }
    return lathe(material, profile, segments, 80.0f);
}

Shape torus(const std::string& material, float majorRadius, float minorRadius, int segments, int sides)
{
    std::vector<sm::Vec3> path = arcPath({}, majorRadius, 0.0f, 2.0f * kPi, segments);
    path.pop_back();  // closed: the last point repeats the first
    return sweep(material, path, circleOutline(minorRadius, sides), true, false);
}

Shape sweep(const std::string& material, const std::vector<sm::Vec3>& path, const std::vector<Vec2>& section,
            bool closedPath, bool caps, sm::Vec3 up, float creaseDegrees)
{
    Shape shape(material);
    std::vector<ProfilePoint> pts = profilePoints(section, true, creaseDegrees);
    const std::size_t n = path.size();
    if (pts.size() < 2 || n < 2) return shape;
    // Tangents, then frames carried along the path without twist.
    std::vector<sm::Vec3> T(n), N(n), B(n);
    for (std::size_t i = 0; i < n; ++i) {
        sm::Vec3 prev = i > 0 ? path[i - 1] : (closedPath ? path[n - 1] : path[i]);
        sm::Vec3 next = i + 1 < n ? path[i + 1] : (closedPath ? path[0] : path[i]);
        T[i] = normalized(next - prev);
    }
    {
        sm::Vec3 b0 = up - T[0] * sm::dot(T[0], up);
        if (sm::dot(b0, b0) < 1e-6f) {
            sm::Vec3 alt = std::fabs(T[0].z) < 0.9f ? sm::Vec3{0, 0, 1} : sm::Vec3{1, 0, 0};
            b0 = alt - T[0] * sm::dot(T[0], alt);
        }
        B[0] = normalized(b0);
        N[0] = normalized(sm::cross(B[0], T[0]));
    }
    for (std::size_t i = 1; i < n; ++i) {
        sm::Vec3 nn = N[i - 1] - T[i] * sm::dot(T[i], N[i - 1]);
        if (sm::dot(nn, nn) < 1e-8f) nn = N[i - 1];
        N[i] = normalized(nn);
        B[i] = normalized(sm::cross(T[i], N[i]));
    }
    // Rings: one per path point, plus the first again to close a loop.
    std::size_t rings = closedPath ? n + 1 : n;
    std::vector<float> along(rings, 0.0f);
    for (std::size_t i = 1; i < rings; ++i) along[i] = along[i - 1] + sm::length(path[i % n] - path[i - 1]);
    const std::size_t per = pts.size();
    std::vector<std::uint32_t> ids;
    for (std::size_t i = 0; i < rings; ++i) {
        std::size_t k = i % n;
        for (const ProfilePoint& p : pts) {
            sm::Vec3 pos = path[k] + N[k] * p.p.x + B[k] * p.p.y;
            sm::Vec3 nor = normalized(N[k] * p.n.x + B[k] * p.n.y);
            ids.push_back(shape.addVertex(pos, nor, {p.s, along[i]}, {p.s, along[i]}));
        }
    }
    for (std::size_t i = 0; i + 1 < rings; ++i)
        for (std::size_t e = 0; e + 1 < per; ++e) {
            if (cornerPair(pts, e)) continue;
            std::uint32_t a = ids[i * per + e], b = ids[i * per + e + 1], c = ids[(i + 1) * per + e + 1],
                          d = ids[(i + 1) * per + e];
            addQuadSkippingDegenerate(shape, a, b, c, d, pts[e + 1].band);
        }
    if (caps && !closedPath) {
        std::vector<Vec2> outline;
        for (Vec2 p : section)
            if (outline.empty() || length2d(p - outline.back()) > 1e-5f) outline.push_back(p);
        addPlanarPolygon(shape, outline, path[0], N[0], B[0], -T[0], true);
        addPlanarPolygon(shape, outline, path[n - 1], N[n - 1], B[n - 1], T[n - 1], false);
    }
    return shape;
}

Shape extrude(const std::string& material, const std::vector<Vec2>& outline, float depth, bool caps)
{
    return sweep(material, {{0, 0, 0}, {0, 0, depth}}, outline, false, caps, {0, 1, 0});
}

Shape tube(const std::string& material, const std::vector<sm::Vec3>& path, float radius, int sides, bool caps)
{
    return sweep(material, path, circleOutline(radius, sides), false, caps);
}

std::vector<Vec2> circleOutline(float radius, int segments)
{
    std::vector<Vec2> out;
    for (int i = 0; i < segments; ++i) {
        float t = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(segments);
        out.push_back({radius * std::cos(t), radius * std::sin(t)});
    }
    return out;
}

std::vector<Vec2> rectangleOutline(float width, float height)
{
    float w = width * 0.5f, h = height * 0.5f;
    return {{-w, -h}, {w, -h}, {w, h}, {-w, h}};
}

std::vector<Vec2> roundedRectangleOutline(float width, float height, float radius, int cornerSegments)
{
    float w = width * 0.5f, h = height * 0.5f;
    float r = std::clamp(radius, 0.0f, std::min(w, h));
    std::vector<Vec2> out;
    const Vec2 centres[4] = {{w - r, -h + r}, {w - r, h - r}, {-w + r, h - r}, {-w + r, -h + r}};
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i <= cornerSegments; ++i) {
            float t = (static_cast<float>(c) - 1.0f + static_cast<float>(i) / static_cast<float>(cornerSegments)) *
                      0.5f * kPi;
            out.push_back(centres[c] + Vec2{r * std::cos(t), r * std::sin(t)});
        }
    return out;
}

std::vector<sm::Vec3> arcPath(sm::Vec3 centre, float radius, float angle0, float angle1, int segments)
{
    std::vector<sm::Vec3> out;
    for (int i = 0; i <= segments; ++i) {
        float t = angle0 + (angle1 - angle0) * static_cast<float>(i) / static_cast<float>(segments);
        out.push_back(centre + sm::Vec3{radius * std::cos(t), 0.0f, -radius * std::sin(t)});
    }
    return out;
}

std::vector<sm::Vec3> smoothPath(const std::vector<sm::Vec3>& points, int samples)
{
    std::vector<sm::Vec3> out;
    const std::size_t n = points.size();
    if (n < 2) return points;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        sm::Vec3 p0 = points[i > 0 ? i - 1 : 0], p1 = points[i], p2 = points[i + 1],
                 p3 = points[i + 2 < n ? i + 2 : n - 1];
        for (int k = 0; k < samples; ++k) {
            float t = static_cast<float>(k) / static_cast<float>(samples), t2 = t * t, t3 = t2 * t;
            out.push_back((p1 * 2.0f + (p2 - p0) * t + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * t2 +
                           (p1 * 3.0f - p0 - p2 * 3.0f + p3) * t3) *
                          0.5f);
        }
    }
    out.push_back(points.back());
    return out;
}

std::vector<sm::Vec3> roundCorners(const std::vector<sm::Vec3>& points, float radius, int segmentsPerBend)
{
    const std::size_t n = points.size();
    if (n < 3) return points;
    std::vector<sm::Vec3> out{points[0]};
    for (std::size_t j = 1; j + 1 < n; ++j) {
        sm::Vec3 P = points[j];
        sm::Vec3 in = P - points[j - 1], outDir = points[j + 1] - P;
        float lin = sm::length(in), lout = sm::length(outDir);
        in = normalized(in);
        outDir = normalized(outDir);
        float c = std::clamp(sm::dot(in, outDir), -1.0f, 1.0f);
        float phi = std::acos(c);
        if (phi < 1e-3f) {
            out.push_back(P);
            continue;
        }
        float d = std::min({radius * std::tan(phi * 0.5f), 0.5f * lin, 0.5f * lout});
        sm::Vec3 S = P - in * d, E = P + outDir * d;
        for (int k = 0; k <= segmentsPerBend; ++k) {
            float t = static_cast<float>(k) / static_cast<float>(segmentsPerBend);
            out.push_back(S * ((1 - t) * (1 - t)) + P * (2 * (1 - t) * t) + E * (t * t));
        }
    }
    out.push_back(points[n - 1]);
    return out;
}

std::vector<int> triangulate(const std::vector<Vec2>& outline)
{
    std::vector<int> out;
    std::vector<int> idx;
    for (int i = 0; i < static_cast<int>(outline.size()); ++i) idx.push_back(i);
    auto at = [&](int i) { return outline[static_cast<std::size_t>(i)]; };
    auto inside = [](Vec2 p, Vec2 a, Vec2 b, Vec2 c) {
        return cross2(b - a, p - a) >= 0.0f && cross2(c - b, p - b) >= 0.0f && cross2(a - c, p - c) >= 0.0f;
    };
    int guard = 0;
    while (idx.size() > 3 && guard < 100000) {
        ++guard;
        bool clipped = false;
        const std::size_t m = idx.size();
        for (std::size_t i = 0; i < m; ++i) {
            int ia = idx[(i + m - 1) % m], ib = idx[i], ic = idx[(i + 1) % m];
            Vec2 a = at(ia), b = at(ib), c = at(ic);
            float turn = cross2(b - a, c - b);
            if (turn <= 1e-9f) {
                if (std::fabs(turn) <= 1e-9f && length2d(c - a) > 0.0f && dot2(b - a, c - b) >= 0.0f) {
                    // Collinear point: drop it.
                    idx.erase(idx.begin() + static_cast<std::ptrdiff_t>(i));
                    clipped = true;
                    break;
                }
                continue;
            }
            bool ear = true;
            for (int k : idx) {
                if (k == ia || k == ib || k == ic) continue;
                Vec2 p = at(k);
                if (length2d(p - a) < 1e-6f || length2d(p - b) < 1e-6f || length2d(p - c) < 1e-6f) continue;
                if (inside(p, a, b, c)) {
                    ear = false;
                    break;
                }
            }
            if (!ear) continue;
            out.insert(out.end(), {ia, ib, ic});
            idx.erase(idx.begin() + static_cast<std::ptrdiff_t>(i));
            clipped = true;
            break;
        }
        if (!clipped) break;  // not a simple polygon: keep what was found
    }
    if (idx.size() == 3) out.insert(out.end(), {idx[0], idx[1], idx[2]});
    return out;
}

} // namespace model
