#include "anim/animation_file.h"

#include "anim/core/tcb_interpolator.h"
#include "content/geometry/binary_cursor.h"

namespace {

// The smallest node record: id, name length, pivot, three constant blocks
// and the child count.
constexpr std::size_t kMinNodeRecord = 4 + 4 + 64 + (4 + 12) + (4 + 16) + (4 + 12) + 4;

bool readCount(BinaryCursor& c, std::int32_t& count, const char* what) {
    const std::size_t at = c.position();
    count = c.readInt32();
    if (c.ok() && count < 0)
        c.fail(std::string("negative ") + what + " " + std::to_string(count) + " at byte " + std::to_string(at));
    return c.ok();
}

void readVec3Block(BinaryCursor& c, sm::Vec3& constant, SceneNode::Vec3Track& track, const char* what) {
    std::int32_t keys = 0;
    if (!readCount(c, keys, what)) return;
    if (keys == 0) {
        constant.x = c.readFloat32();
        constant.y = c.readFloat32();
        constant.z = c.readFloat32();
        return;
    }
    if (!c.canRead(keys, 16)) return;
    auto curve = std::make_shared<TCBInterpolator<sm::Vec3>>();
    for (std::int32_t k = 0; k < keys; ++k) {
        const float time = c.readFloat32();
        sm::Vec3 v;
        v.x = c.readFloat32();
        v.y = c.readFloat32();
        v.z = c.readFloat32();
        curve->appendKey(time, v, false);
    }
    track = std::move(curve);
}

void readRotationBlock(BinaryCursor& c, SceneNode& node) {
    std::int32_t keys = 0;
    if (!readCount(c, keys, "rotation key count")) return;
    if (keys == 0) {
        const float angle = c.readFloat32();
        const float a1 = c.readFloat32(), a2 = c.readFloat32(), a3 = c.readFloat32();
        node.rotation = decodeConstantRotation(angle, a1, a2, a3);
        return;
    }
    if (!c.canRead(keys, 20)) return;
    auto curve = std::make_shared<TCBInterpolator<sm::Quat>>();
    sm::Quat accumulated;
    for (std::int32_t k = 0; k < keys; ++k) {
        const float time = c.readFloat32();
        const float angle = c.readFloat32();
        const float a1 = c.readFloat32(), a2 = c.readFloat32(), a3 = c.readFloat32();
        accumulated = accumulateRotationKey(angle, a1, a2, a3, accumulated);
        curve->appendKey(time, accumulated, false);
    }
    node.rotationTrack = std::move(curve);
}

bool readNode(BinaryCursor& c, SceneNode& node, int depth) {
    if (depth > kMaxAnimationDepth) {
        c.fail("nodes nested deeper than " + std::to_string(kMaxAnimationDepth) + " levels");
        return false;
    }
    node.id = c.readInt32();
    node.name = c.readString();
    for (float& f : node.pivot.a) f = c.readFloat32();
    readVec3Block(c, node.position, node.positionTrack, "position key count");
    readRotationBlock(c, node);
    readVec3Block(c, node.scale, node.scaleTrack, "scale key count");
    std::int32_t children = 0;
    if (!readCount(c, children, "child count") || !c.canRead(children, kMinNodeRecord)) return false;
    for (std::int32_t i = 0; i < children; ++i)
        if (!readNode(c, *node.addChild(std::make_unique<SceneNode>()), depth + 1)) return false;
    return c.ok();
}

}  // namespace

sm::Quat accumulateRotationKey(float angle, float a1, float a2, float a3, sm::Quat accumulated) {
    sm::Vec3 axis{a1, a3, -a2};
    sm::normalize(axis);
    sm::Quat q = sm::fromAxisAngle(axis, -angle) * accumulated;
    return sm::normalize(q);
}

sm::Quat decodeConstantRotation(float angle, float a1, float a2, float a3) {
    sm::Vec3 axis{a1, a2, a3};
    sm::normalize(axis);
    return sm::fromAxisAngle(axis, -angle);
}

std::unique_ptr<SceneNode> parseAnimation(const std::uint8_t* data, std::size_t size, std::string* error) {
    BinaryCursor c(data, size);
    auto root = std::make_unique<SceneNode>();
    std::int32_t count = 0;
    if (readCount(c, count, "node count") && c.canRead(count, kMinNodeRecord)) {
        for (std::int32_t i = 0; i < count; ++i)
            if (!readNode(c, *root->addChild(std::make_unique<SceneNode>()), 1)) break;
    }
    if (!c.ok()) {
        if (error) *error = c.error();
        return nullptr;
    }
    return root;
}

std::unique_ptr<SceneNode> readAnimationFile(const std::string& path, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        if (error) *error = "cannot be opened or read";
        return nullptr;
    }
    return parseAnimation(bytes.data(), bytes.size(), error);
}

SceneNode* loadAnimation(const std::string& path) { return readAnimationFile(path).release(); }
