#include "tools/world/show_scene.h"

#include "anim/animation_file.h"
#include "anim/clip_schedule.h"
#include "anim/simple_clip.h"
#include "anim/track_clip.h"
#include "anim/wheel_clip.h"
#include "content/geometry/geometry.h"
#include "content/geometry/geometry_reader.h"
#include "content/geometry/vertex_format.h"
#include "tools/world/materials.h"
#include "tools/world/schedule.h"

#include <cstring>
#include <map>

namespace world {

struct ShowScene::Impl {
    struct Prop {
        std::unique_ptr<Geometry> geometry;
        std::unique_ptr<SceneNode> tree;
        float shown = 0.0f;
    };
    std::unique_ptr<Geometry> body;
    std::unique_ptr<SceneNode> skeleton, walk;
    std::vector<std::unique_ptr<Geometry>> vehicles;
    std::vector<std::unique_ptr<SceneNode>> clipTrees;
    ClipSchedule schedule;
    std::vector<Prop> props;
    float time = 0.0f;
    bool started = false;
};

ShowScene::ShowScene() : impl_(std::make_unique<Impl>()) {}
ShowScene::~ShowScene() = default;

bool ShowScene::load(const std::filesystem::path& root, std::string& error)
{
    Impl& s = *impl_;
    auto geometry = [&](const std::string& name) {
        std::filesystem::path p = root / "models" / (name + ".geo");
        if (!std::filesystem::exists(p)) p = root / "models" / "robot_parts" / (name + ".geo");
        std::string why;
        auto g = readGeometryFile(p.string(), &why);
        if (!g) error = p.string() + ": " + why;
        return g;
    };
    auto animation = [&](const std::string& name) {
        std::string why;
        std::filesystem::path p = root / "animations" / (name + ".ani");
        auto a = readAnimationFile(p.string(), &why);
        if (!a) error = p.string() + ": " + why;
        return a;
    };
    s.body = geometry("bind_pose");
    s.skeleton = animation("bind_pose");
    s.walk = animation("run");
    if (!s.body || !s.skeleton || !s.walk) return false;
    s.skeleton->bindMeshes(s.body->meshes);
    for (const ClipSlot& slot : kSchedule) {
        auto tree = animation(slot.name);
        if (!tree) return false;
        switch (slot.kind) {
        case ClipKind::Riding: {
            auto vehicle = geometry(slot.name);
            if (!vehicle) return false;
            s.schedule.add(std::make_unique<WheelClip>(s.skeleton.get(), tree.get(), vehicle.get()));
            s.vehicles.push_back(std::move(vehicle));
            break;
        }
        case ClipKind::Skeleton: s.schedule.add(std::make_unique<SimpleClip>(s.skeleton.get(), tree.get())); break;
        case ClipKind::Path:
            s.schedule.add(std::make_unique<TrackClip>(s.skeleton.get(), s.walk.get(), tree.get()));
            break;
        }
        s.clipTrees.push_back(std::move(tree));
    }
    for (std::size_t i = 0; i < s.schedule.size(); ++i) s.schedule.clip(i).stop();
    for (auto [name, shown] : {std::pair<const char*, float>{"kubek", -1.0f}, {"epapieros", -1.0f}, {"doors", -1.0f},
                               {"flying_chair", kFlyingChairShown}, {"credits_dance_hand", -1.0f}}) {
        Impl::Prop p;
        p.geometry = geometry(name);
        p.tree = animation(name);
        if (!p.geometry || !p.tree) return false;
        p.tree->bindMeshes(p.geometry->meshes);
        // The hand's first three submeshes are its hidden helpers.
        if (std::string(name) == "credits_dance_hand")
            for (std::size_t k = 0; k < 3 && k < p.geometry->allSubMeshes.size(); ++k) p.geometry->allSubMeshes[k]->hidden = true;
        p.shown = shown;
        s.props.push_back(std::move(p));
    }
    return true;
}

void ShowScene::playTo(float t)
{
    Impl& s = *impl_;
    if (!s.started) {
        s.started = true;
        s.time = t;
        s.schedule.update(t, 0.0f);
    }
    while (s.time < t) {
        float dt = std::min(1.0f / 30.0f, t - s.time);
        s.time += dt;
        s.schedule.update(s.time, dt);
    }
    for (Impl::Prop& p : s.props) p.tree->updateNode(s.time, 0.0f, sm::identityMatrix());
}

namespace {

void addSubMeshes(const Geometry& g, std::vector<model::Shape>& out)
{
    for (const SubMesh* sub : g.allSubMeshes) {
        if (sub->hidden || !sub->mesh) continue;
        const VertexLayout* layout = vertexLayout(sub->vertexFormat);
        const MaterialSpec* material = findMaterial(sub->materialName);
        if (!layout || !material) continue;
        const sm::Mat4& m = sub->mesh->renderMatrixValue;
        model::Shape shape(sub->materialName);
        for (int v = 0; v < sub->vertexCount; ++v) {
            const std::uint8_t* at = sub->vertices.data() + static_cast<std::size_t>(v) * layout->stride;
            sm::Vec3 p, n{0, 1, 0};
            model::Vec2 uv;
            std::memcpy(&p, at + layout->position, 12);
            if (layout->normal >= 0) std::memcpy(&n, at + layout->normal, 12);
            if (layout->diffuseUv >= 0) std::memcpy(&uv, at + layout->diffuseUv, 8);
            sm::Vec3 q = sm::transformPoint(m, p);
            sm::Vec3 o = sm::transformPoint(m, {});
            sm::Vec3 wn = sm::transformPoint(m, n) - o;
            shape.addVertex(q, wn, uv * material->tile);
        }
        for (int v = 0; v + 2 < sub->vertexCount; v += 3)
            shape.addTriangle(static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v + 1),
                              static_cast<std::uint32_t>(v + 2));
        out.push_back(std::move(shape));
    }
}

} // namespace

void ShowScene::collect(std::vector<model::Shape>& out) const
{
    const Impl& s = *impl_;
    addSubMeshes(*s.body, out);
    // Only the current clip's vehicle shows.
    for (const auto& v : s.vehicles) addSubMeshes(*v, out);
    for (const Impl::Prop& p : s.props)
        if (s.time > p.shown) addSubMeshes(*p.geometry, out);
}

} // namespace world
