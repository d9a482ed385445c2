#include "tools/world/performance.h"

#include "anim/animation_file.h"
#include "tools/world/robot_rig.h"
#include "tools/world/schedule.h"
#include "tools/model/vec_ops.h"

#include <cmath>

namespace world {

bool Performance::load(const std::map<std::string, std::vector<std::uint8_t>>& files, std::string& error)
{
    auto read = [&](const std::string& name) -> std::unique_ptr<SceneNode> {
        auto it = files.find(name);
        if (it == files.end()) {
            error = "animation \"" + name + "\" is missing";
            return nullptr;
        }
        std::string why;
        auto tree = parseAnimation(it->second.data(), it->second.size(), &why);
        if (!tree) error = "animation \"" + name + "\": " + why;
        return tree;
    };
    rider_ = read("bind_pose");
    if (!rider_) return false;
    for (const rig::Bone& b : rig::kBones) {
        SceneNode* n = rider_->findNode(b.name);
        if (!n) {
            error = std::string("bind_pose has no bone \"") + b.name + "\"";
            return false;
        }
        riderBones_.push_back(n);
    }
    trees_["run"] = read("run");
    if (!trees_["run"]) return false;
    for (const ClipSlot& slot : kSchedule) {
        auto tree = read(slot.name);
        if (!tree) return false;
        trees_[slot.name] = std::move(tree);
    }
    return true;
}

sm::Mat4 Performance::bone(float t, int boneIndex)
{
    std::size_t i = 0;
    while (i + 1 < kSchedule.size() && t > kSchedule[i].end) ++i;
    const ClipSlot& slot = kSchedule[i];
    SceneNode& tree = *trees_[slot.name];
    SceneNode* hip = riderBones_[0];
    // Evaluation jumps about in time: searches start from the first key.
    tree.resetTrackHints();
    rider_->resetTrackHints();
    switch (slot.kind) {
    case ClipKind::Riding: {
        // The rider's hip rides on the seat; the tracks come from the
        // vehicle's own copy of the skeleton.
        SceneNode* seat = tree.findChild(rig::kSeatNode);
        if (!seated_[slot.name]) {
            seat->appendChild(hip);
            seated_[slot.name] = true;
        }
        rider_->copyTracksFrom(tree);
        tree.updateNode(t, 0.0f, sm::identityMatrix());
        break;
    }
    case ClipKind::Skeleton:
        rider_->copyTracksFrom(tree);
        rider_->updateNode(t, 0.0f, sm::identityMatrix());
        break;
    case ClipKind::Path: {
        tree.updateNode(t, 0.0f, sm::identityMatrix());
        sm::Vec3 p = sm::transformPoint(tree.children[0]->world, {});
        tree.updateNode(t + 0.05f, 0.0f, sm::identityMatrix());
        sm::Vec3 ahead = sm::transformPoint(tree.children[0]->world, {});
        sm::Vec3 f = model::normalized(sm::Vec3{ahead.x - p.x, 0.0f, ahead.z - p.z});
        sm::Vec3 s = model::normalized(sm::cross({0, 1, 0}, f));
        sm::Mat4 m;
        m.a[0] = s.x, m.a[1] = s.y, m.a[2] = s.z;
        m.a[4] = 0, m.a[5] = 1, m.a[6] = 0;
        m.a[8] = f.x, m.a[9] = f.y, m.a[10] = f.z;
        m.a[12] = p.x, m.a[13] = p.y, m.a[14] = p.z;
        SceneNode* run = trees_.count("run") ? trees_["run"].get() : nullptr;
        if (run) rider_->copyTracksFrom(*run);
        rider_->updateNode(0.0f, 0.0f, m);
        break;
    }
    }
    return riderBones_[static_cast<std::size_t>(boneIndex)]->world;
}

} // namespace world
