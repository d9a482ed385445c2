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
    for (std::size_t i = 0; i < kSchedule.size(); ++i) {
        const ClipSlot& slot = kSchedule[i];
        auto tree = read(slot.name);
        if (!tree) return false;
        if (slot.kind == ClipKind::Path) {
            if (tree->children.empty()) {
                error = std::string("animation \"") + slot.name + "\" has no path";
                return false;
            }
            // Frame by frame as the show steps it: the first frame after the
            // previous clip's end measures from the origin.
            PathTable table;
            table.start = clipStart(i);
            sm::Vec3 last{};
            float sum = 0.0f;
            for (int k = 1; table.start + static_cast<float>(k) / 60.0f <= slot.end + 1.0f / 60.0f; ++k) {
                float t = table.start + static_cast<float>(k) / 60.0f;
                tree->updatePose(t, sm::identityMatrix());
                sm::Vec3 p = sm::transformPoint(tree->children[0]->world, {});
                sum += std::hypot(p.x - last.x, p.z - last.z);
                last = p;
                table.travelled.push_back(sum);
            }
            paths_[slot.name] = std::move(table);
        }
        trees_[slot.name] = std::move(tree);
    }
    return true;
}

float Performance::travelled(const std::string& clip, float t)
{
    const PathTable& table = paths_[clip];
    if (table.travelled.empty()) return 0.0f;
    float k = (t - table.start) * 60.0f - 1.0f;
    if (k <= 0.0f) return table.travelled.front();
    std::size_t i = static_cast<std::size_t>(k);
    if (i + 1 >= table.travelled.size()) return table.travelled.back();
    float u = k - static_cast<float>(i);
    return table.travelled[i] + (table.travelled[i + 1] - table.travelled[i]) * u;
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
        // Facing along the last frame's step, as the show turns him.
        tree.updatePose(t - 1.0f / 60.0f, sm::identityMatrix());
        sm::Vec3 behind = sm::transformPoint(tree.children[0]->world, {});
        tree.updatePose(t, sm::identityMatrix());
        sm::Vec3 p = sm::transformPoint(tree.children[0]->world, {});
        sm::Vec3 f = model::normalized(sm::Vec3{p.x - behind.x, 0.0f, p.z - behind.z});
        sm::Vec3 s = model::normalized(sm::cross({0, 1, 0}, f));
        sm::Mat4 m;
        m.a[0] = s.x, m.a[1] = s.y, m.a[2] = s.z;
        m.a[4] = 0, m.a[5] = 1, m.a[6] = 0;
        m.a[8] = f.x, m.a[9] = f.y, m.a[10] = f.z;
        m.a[12] = p.x, m.a[13] = p.y, m.a[14] = p.z;
        SceneNode* run = trees_["run"].get();
        float length = run->duration();
        float cycle = length > 0.0f ? std::fmod(travelled(slot.name, t) / 412.0f * length * 0.4f, length) : 0.0f;
        rider_->copyTracksFrom(*run);
        rider_->resetTrackHints();
        rider_->updateNode(cycle, 0.0f, m);
        break;
    }
    }
    return riderBones_[static_cast<std::size_t>(boneIndex)]->world;
}

} // namespace world
