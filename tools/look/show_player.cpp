#include "tools/look/show_player.h"

#include "anim/animation_file.h"
#include "anim/simple_clip.h"
#include "anim/track_clip.h"
#include "anim/wheel_clip.h"
#include "content/geometry/geometry_reader.h"

#include <filesystem>

namespace look {

namespace {

struct ClipEntry {
    const char* name;
    enum { Wheel, Simple, Track } kind;
};
const ClipEntry kClips[] = {
    {"writting", ClipEntry::Wheel}, {"go_to_posters", ClipEntry::Wheel}, {"back_to_cigarette", ClipEntry::Wheel},
    {"whisky", ClipEntry::Wheel},   {"cigarette", ClipEntry::Wheel},     {"angry", ClipEntry::Wheel},
    {"porazenie", ClipEntry::Wheel}, {"throw", ClipEntry::Simple},       {"run01", ClipEntry::Track},
    {"run02", ClipEntry::Track},    {"branch", ClipEntry::Simple},       {"run021", ClipEntry::Track},
    {"jump", ClipEntry::Simple},    {"flip", ClipEntry::Simple},         {"run03", ClipEntry::Track},
    {"credits_dance", ClipEntry::Simple},
};

} // namespace

bool ShowPlayer::load(const std::string& data, std::string& error)
{
    namespace fs = std::filesystem;
    auto geometry = [&](const std::string& name) -> Geometry* {
        for (const char* folder : {"models/", "models/robot_parts/"}) {
            fs::path p = fs::path(data) / folder / (name + ".geo");
            if (!fs::exists(p)) continue;
            std::string why;
            auto g = readGeometryFile(p.string(), &why);
            if (!g) {
                error = p.string() + ": " + why;
                return nullptr;
            }
            return (geometries_[name] = std::move(g)).get();
        }
        error = "no geometry " + name;
        return nullptr;
    };
    auto animation = [&](const std::string& name) -> SceneNode* {
        fs::path p = fs::path(data) / "animations" / (name + ".ani");
        std::string why;
        auto a = readAnimationFile(p.string(), &why);
        if (!a) {
            error = p.string() + ": " + why;
            return nullptr;
        }
        return (animations_[name] = std::move(a)).get();
    };
    Geometry* body = geometry("bind_pose");
    skeleton_ = animation("bind_pose");
    SceneNode* run = animation("run");
    if (!body || !skeleton_ || !run || !geometry("factory")) return false;
    skeleton_->bindMeshes(body->meshes);
    for (const ClipEntry& c : kClips) {
        SceneNode* a = animation(c.name);
        if (!a) return false;
        if (c.kind == ClipEntry::Wheel) {
            Geometry* g = geometry(c.name);
            if (!g) return false;
            schedule_.add(std::make_unique<WheelClip>(skeleton_, a, g));
        } else if (c.kind == ClipEntry::Simple) {
            schedule_.add(std::make_unique<SimpleClip>(skeleton_, a));
        } else {
            schedule_.add(std::make_unique<TrackClip>(skeleton_, run, a));
        }
    }
    for (std::size_t i = 0; i < schedule_.size(); ++i) schedule_.clip(i).stop();
    for (auto [name, shown] : {std::pair{"flying_chair", 134.0552f}, {"doors", 0.0f}, {"kubek", 0.0f}, {"epapieros", 0.0f}}) {
        Geometry* g = geometry(name);
        SceneNode* a = animation(name);
        if (!g || !a) return false;
        props_.push_back(std::make_unique<SimpleAnim>(a, g, shown, name));
    }
    return true;
}

void ShowPlayer::playTo(float t, float fps)
{
    const float dt = 1.0f / fps;
    while (time_ < t) {
        float next = std::min(t, time_ + dt);
        float step = next - time_;
        time_ = next;
        schedule_.update(time_, step);
        for (auto& p : props_) p->update(time_, step);
    }
}

std::vector<Drawn> ShowPlayer::actors() const
{
    std::vector<Drawn> out;
    auto add = [&](const Geometry& g) {
        for (const auto& m : g.meshes)
            for (const auto& s : m->subMeshes)
                if (!s->hidden) out.push_back({m.get(), s.get(), m->renderMatrixValue});
    };
    add(*geometries_.at("bind_pose"));
    for (const ClipEntry& c : kClips)
        if (c.kind == ClipEntry::Wheel) add(*geometries_.at(c.name));
    for (const char* name : {"flying_chair", "doors", "kubek", "epapieros"}) add(*geometries_.at(name));
    return out;
}

std::vector<Drawn> ShowPlayer::set() const
{
    std::vector<Drawn> out;
    for (const auto& m : geometries_.at("factory")->meshes)
        for (const auto& s : m->subMeshes) out.push_back({m.get(), s.get(), sm::identityMatrix()});
    return out;
}

sm::Mat4 ShowPlayer::bone(const std::string& name) const
{
    SceneNode* n = skeleton_->findNode(name);
    return n ? n->world : sm::identityMatrix();
}

const Geometry* ShowPlayer::geometry(const std::string& name) const
{
    auto it = geometries_.find(name);
    return it == geometries_.end() ? nullptr : it->second.get();
}

SceneNode* ShowPlayer::animation(const std::string& name) const
{
    auto it = animations_.find(name);
    return it == animations_.end() ? nullptr : it->second.get();
}

} // namespace look
