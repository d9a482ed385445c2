#include "tools/world/framing.h"

#include "tools/model/vec_ops.h"
#include "tools/world/keys.h"

#include <algorithm>
#include <cmath>

namespace world {

Projected project(const sm::Mat4& view, float fovX, Sphere s)
{
    Projected p;
    sm::Vec3 c = sm::transformPoint(view, s.centre);
    float depth = -c.z;
    p.ahead = depth > s.radius;
    if (depth <= 1e-3f) return p;
    float tx = std::tan(fovX * 0.5f), ty = tx / kShowAspect;
    p.x = c.x / (depth * tx);
    p.y = c.y / (depth * ty);
    // The silhouette's half extent seen at that depth (exact for a sphere
    // straight ahead, a little generous off axis).
    float r = s.radius / std::sqrt(std::max(depth * depth - s.radius * s.radius, 1e-3f));
    p.rx = r / tx;
    p.ry = r / ty;
    return p;
}

bool inFrame(const sm::Mat4& view, float fovX, Sphere s, float fill)
{
    Projected p = project(view, fovX, s);
    return p.ahead && std::fabs(p.x) + p.rx <= fill && std::fabs(p.y) + p.ry <= fill;
}

float fitFov(sm::Vec3 eye, sm::Vec3 target, const std::vector<Sphere>& spheres, float fill)
{
    sm::Mat4 view = lookAtView(eye, target);
    float need = 0.0f;  // the tangent of half the horizontal field of view
    for (const Sphere& s : spheres) {
        sm::Vec3 c = sm::transformPoint(view, s.centre);
        float depth = std::max(-c.z, s.radius + 1.0f);
        float r = s.radius / std::sqrt(std::max(depth * depth - s.radius * s.radius, 1e-3f));
        need = std::max(need, (std::fabs(c.x) / depth + r) / fill);
        need = std::max(need, (std::fabs(c.y) / depth + r) * kShowAspect / fill);
    }
    return 2.0f * std::atan(need);
}

sm::Vec3 orbit(sm::Vec3 anchor, sm::Vec3 front, float azimuthDegrees, float elevationDegrees, float distance)
{
    const float a = azimuthDegrees * model::kPi / 180.0f, e = elevationDegrees * model::kPi / 180.0f;
    sm::Vec3 f = model::normalized(sm::Vec3{front.x, 0.0f, front.z});
    // About +Y: +Z turns towards +X.
    sm::Vec3 d{f.x * std::cos(a) + f.z * std::sin(a), 0.0f, -f.x * std::sin(a) + f.z * std::cos(a)};
    return anchor + d * (std::cos(e) * distance) + sm::Vec3{0.0f, std::sin(e) * distance, 0.0f};
}

} // namespace world
