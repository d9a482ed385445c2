#include "anim/animation_writer.h"

#include "anim/animation_file.h"
#include "anim/core/tcb_interpolator.h"
#include "content/geometry/byte_writer.h"

#include <cmath>

namespace {

struct QuatD {
    double w, x, y, z;
};

QuatD normalised(sm::Quat q) {
    const double len = std::sqrt(double(q.w) * q.w + double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z);
    return {q.w / len, q.x / len, q.y / len, q.z / len};
}

// Angle in [0, 2π] and unit axis of a unit quaternion, so that
// q = (cos(angle/2), axis sin(angle/2)) with its sign kept.
void angleAxis(QuatD q, double& angle, double axis[3]) {
    const double v = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    angle = 2.0 * std::atan2(v, q.w);
    if (v == 0.0) {
        axis[0] = axis[1] = axis[2] = 0.0;
        return;
    }
    axis[0] = q.x / v;
    axis[1] = q.y / v;
    axis[2] = q.z / v;
}

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

template <class T>
bool checkTrack(const std::shared_ptr<IInterpolator<T>>& track, const std::string& what, std::string* error) {
    if (!track || track->keyCount() == 0) return true;
    if (!dynamic_cast<const TCBInterpolator<T>*>(track.get()))
        return fail(error, what + " is not a TCB curve; the file holds TCB curves only");
    for (int k = 0; k < track->keyCount(); ++k) {
        float time = 0;
        T v{};
        bool step = false;
        track->getKey(k, time, v, step);
        if (step) return fail(error, what + " has a step key, which the file cannot hold");
    }
    return true;
}

void writeVec3Block(ByteWriter& w, sm::Vec3 constant, const SceneNode::Vec3Track& track) {
    const int n = track ? track->keyCount() : 0;
    w.writeInt32(n);
    if (n == 0) {
        w.writeFloat32(constant.x);
        w.writeFloat32(constant.y);
        w.writeFloat32(constant.z);
        return;
    }
    for (int k = 0; k < n; ++k) {
        float time = 0;
        sm::Vec3 v;
        bool step = false;
        track->getKey(k, time, v, step);
        w.writeFloat32(time);
        w.writeFloat32(v.x);
        w.writeFloat32(v.y);
        w.writeFloat32(v.z);
    }
}

bool isZero(sm::Quat q) { return q.w == 0 && q.x == 0 && q.y == 0 && q.z == 0; }

bool writeNode(ByteWriter& w, const SceneNode& node, int depth, std::string* error) {
    const std::string what = "node \"" + node.name + "\" (id " + std::to_string(node.id) + ")";
    if (depth > kMaxAnimationDepth)
        return fail(error, what + " is nested deeper than " + std::to_string(kMaxAnimationDepth) + " levels");
    if (!checkTrack(node.positionTrack, what + ": position track", error) ||
        !checkTrack(node.rotationTrack, what + ": rotation track", error) ||
        !checkTrack(node.scaleTrack, what + ": scale track", error))
        return false;
    w.writeInt32(node.id);
    w.writeString(node.name);
    for (float f : node.pivot.a) w.writeFloat32(f);
    writeVec3Block(w, node.position, node.positionTrack);

    const int n = node.rotationTrack ? node.rotationTrack->keyCount() : 0;
    w.writeInt32(n);
    if (n == 0) {
        if (isZero(node.rotation)) return fail(error, what + ": zero rotation quaternion");
        const StoredRotation r = encodeConstantRotation(node.rotation);
        w.writeFloat32(r.angle);
        w.writeFloat32(r.a1);
        w.writeFloat32(r.a2);
        w.writeFloat32(r.a3);
    } else {
        // Each key is encoded against the orientation the reader will have
        // accumulated, so rounding does not build up along the track.
        sm::Quat readBack;
        for (int k = 0; k < n; ++k) {
            float time = 0;
            sm::Quat q;
            bool step = false;
            node.rotationTrack->getKey(k, time, q, step);
            if (isZero(q)) return fail(error, what + ": zero rotation quaternion in key " + std::to_string(k));
            const StoredRotation r = encodeRotationKey(q, readBack);
            w.writeFloat32(time);
            w.writeFloat32(r.angle);
            w.writeFloat32(r.a1);
            w.writeFloat32(r.a2);
            w.writeFloat32(r.a3);
            readBack = accumulateRotationKey(r.angle, r.a1, r.a2, r.a3, readBack);
        }
    }
    writeVec3Block(w, node.scale, node.scaleTrack);
    w.writeInt32(static_cast<std::int32_t>(node.children.size()));
    for (const SceneNode* child : node.children)
        if (!writeNode(w, *child, depth + 1, error)) return false;
    return true;
}

}  // namespace

StoredRotation encodeRotationKey(sm::Quat target, sm::Quat previous) {
    // The reader computes target = key ⊗ previous, so key = target ⊗ previous⁻¹.
    const QuatD t = normalised(target);
    const QuatD p = normalised(previous);
    const QuatD c{p.w, -p.x, -p.y, -p.z};
    const QuatD k{t.w * c.w - t.x * c.x - t.y * c.y - t.z * c.z, t.w * c.x + t.x * c.w + t.y * c.z - t.z * c.y,
                  t.w * c.y - t.x * c.z + t.y * c.w + t.z * c.x, t.w * c.z + t.x * c.y - t.y * c.x + t.z * c.w};
    double angle = 0, axis[3];
    angleAxis(k, angle, axis);
    // The reader builds fromAxisAngle((a1, a3, -a2), -angle).
    return {static_cast<float>(-angle), static_cast<float>(axis[0]), static_cast<float>(-axis[2]),
            static_cast<float>(axis[1])};
}

StoredRotation encodeConstantRotation(sm::Quat q) {
    double angle = 0, axis[3];
    angleAxis(normalised(q), angle, axis);
    // The reader builds fromAxisAngle((a1, a2, a3), -angle).
    return {static_cast<float>(-angle), static_cast<float>(axis[0]), static_cast<float>(axis[1]),
            static_cast<float>(axis[2])};
}

bool writeAnimation(const SceneNode& root, std::vector<std::uint8_t>& out, std::string* error) {
    const SceneNode plain;
    if (root.id != 0 || !root.name.empty() || !(root.pivot == plain.pivot) || !(root.position == plain.position) ||
        !(root.rotation == plain.rotation) || !(root.scale == plain.scale) || root.positionTrack ||
        root.rotationTrack || root.scaleTrack)
        return fail(error, "the root node is not stored: it must be a plain unnamed node with the animated nodes "
                           "below it");
    ByteWriter w;
    w.writeInt32(static_cast<std::int32_t>(root.children.size()));
    for (const SceneNode* child : root.children)
        if (!writeNode(w, *child, 1, error)) return false;
    out = w.take();
    return true;
}

bool saveAnimation(const SceneNode& root, const std::string& path, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!writeAnimation(root, bytes, error)) return false;
    if (!writeWholeFile(path, bytes)) return fail(error, "cannot write " + path);
    return true;
}
