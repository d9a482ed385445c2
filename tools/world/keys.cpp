#include "tools/world/keys.h"

#include "anim/core/tcb_interpolator.h"
#include "tools/model/vec_ops.h"

#include <cmath>

namespace world {

using model::normalized;

SceneNode& addNode(SceneNode& parent, const std::string& name, int id)
{
    auto node = std::make_unique<SceneNode>();
    node->name = name;
    node->id = id;
    return *parent.addChild(std::move(node));
}

void keyPosition(SceneNode& node, float time, sm::Vec3 p)
{
    if (!node.positionTrack) node.positionTrack = std::make_shared<TCBInterpolator<sm::Vec3>>();
    node.positionTrack->appendKey(time, p, false);
}

void keyScale(SceneNode& node, float time, sm::Vec3 s)
{
    if (!node.scaleTrack) node.scaleTrack = std::make_shared<TCBInterpolator<sm::Vec3>>();
    node.scaleTrack->appendKey(time, s, false);
}

void keyRotation(SceneNode& node, float time, sm::Quat q)
{
    sm::normalize(q);
    if (!node.rotationTrack) node.rotationTrack = std::make_shared<TCBInterpolator<sm::Quat>>();
    int n = node.rotationTrack->keyCount();
    if (n > 0) {
        float t = 0;
        sm::Quat prev;
        bool step = false;
        node.rotationTrack->getKey(n - 1, t, prev, step);
        if (prev.w * q.w + prev.x * q.x + prev.y * q.y + prev.z * q.z < 0.0f) q = {-q.w, -q.x, -q.y, -q.z};
    }
    node.rotationTrack->appendKey(time, q, false);
}

sm::Quat axisAngle(sm::Vec3 axis, float degrees)
{
    return sm::fromAxisAngle(normalized(axis), degrees * 3.14159265358979f / 180.0f);
}

sm::Quat eulerYXZ(float yawDegrees, float pitchDegrees, float rollDegrees)
{
    return axisAngle({0, 1, 0}, yawDegrees) * axisAngle({1, 0, 0}, pitchDegrees) * axisAngle({0, 0, 1}, rollDegrees);
}

sm::Quat quatFromMatrix(const sm::Mat4& m)
{
    // Row r, column k is a[k * 4 + r].
    auto M = [&](int r, int k) { return static_cast<double>(m.a[k * 4 + r]); };
    double tr = M(0, 0) + M(1, 1) + M(2, 2);
    double w, x, y, z;
    if (tr > 0) {
        double s = std::sqrt(tr + 1.0) * 2;
        w = 0.25 * s, x = (M(2, 1) - M(1, 2)) / s, y = (M(0, 2) - M(2, 0)) / s, z = (M(1, 0) - M(0, 1)) / s;
    } else if (M(0, 0) > M(1, 1) && M(0, 0) > M(2, 2)) {
        double s = std::sqrt(1.0 + M(0, 0) - M(1, 1) - M(2, 2)) * 2;
        w = (M(2, 1) - M(1, 2)) / s, x = 0.25 * s, y = (M(0, 1) + M(1, 0)) / s, z = (M(0, 2) + M(2, 0)) / s;
    } else if (M(1, 1) > M(2, 2)) {
        double s = std::sqrt(1.0 + M(1, 1) - M(0, 0) - M(2, 2)) * 2;
        w = (M(0, 2) - M(2, 0)) / s, x = (M(0, 1) + M(1, 0)) / s, y = 0.25 * s, z = (M(1, 2) + M(2, 1)) / s;
    } else {
        double s = std::sqrt(1.0 + M(2, 2) - M(0, 0) - M(1, 1)) * 2;
        w = (M(1, 0) - M(0, 1)) / s, x = (M(0, 2) + M(2, 0)) / s, y = (M(1, 2) + M(2, 1)) / s, z = 0.25 * s;
    }
    sm::Quat q{static_cast<float>(w), static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return sm::normalize(q);
}

sm::Quat slerp(sm::Quat a, sm::Quat b, float t)
{
    double d = double(a.w) * b.w + double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
    if (d < 0) {
        b = {-b.w, -b.x, -b.y, -b.z};
        d = -d;
    }
    double ka = 1.0 - t, kb = t;
    if (d < 0.9995) {
        double th = std::acos(d), s = std::sin(th);
        ka = std::sin((1.0 - t) * th) / s;
        kb = std::sin(t * th) / s;
    }
    sm::Quat q{static_cast<float>(ka * a.w + kb * b.w), static_cast<float>(ka * a.x + kb * b.x),
               static_cast<float>(ka * a.y + kb * b.y), static_cast<float>(ka * a.z + kb * b.z)};
    return sm::normalize(q);
}

sm::Mat4 lookAtView(sm::Vec3 eye, sm::Vec3 target)
{
    sm::Vec3 f = normalized(target - eye);
    sm::Vec3 s = normalized(sm::cross(f, {0, 1, 0}));
    sm::Vec3 u = sm::cross(s, f);
    sm::Mat4 v;
    v.a[0] = s.x, v.a[4] = s.y, v.a[8] = s.z;
    v.a[1] = u.x, v.a[5] = u.y, v.a[9] = u.z;
    v.a[2] = -f.x, v.a[6] = -f.y, v.a[10] = -f.z;
    v.a[12] = -sm::dot(s, eye), v.a[13] = -sm::dot(u, eye), v.a[14] = sm::dot(f, eye);
    return v;
}

sm::Quat cameraRotation(sm::Vec3 eye, sm::Vec3 target)
{
    // The engine's view is X · inverse(W), with X the quarter turn about +X;
    // so W = inverse(view) · X.
    sm::Mat4 w = sm::inverse(lookAtView(eye, target)) * sm::rotationAxisAngle({1, 0, 0}, 1.5707963705062866f);
    return quatFromMatrix(w);
}

} // namespace world
