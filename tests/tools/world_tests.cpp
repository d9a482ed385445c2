// The world the build authors, read back from the staging folder through the
// engine's own readers: every name the show looks up, the clip schedule, the
// riding clips as the show plays them, the greeting windows under the show's
// clock, the smoke sources, the cameras and the materials each submesh draws
// with.
#include "anim/animation_file.h"
#include "anim/camera_file.h"
#include "content/geometry/geometry_reader.h"
#include "content/geometry/vertex_format.h"
#include "content/image.h"
#include "content/material.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path& dataRoot()
{
    static const fs::path root = fs::path(MURMUR_BIN_DIR) / ".." / "content_staging" / "quellon_data";
    return root;
}

// Every file of a folder of the tree by base name.
std::map<std::string, fs::path> filesIn(const std::string& folder, const std::string& extension)
{
    std::map<std::string, fs::path> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dataRoot() / folder, ec))
        if (e.is_regular_file() && e.path().extension() == extension) out[e.path().stem().string()] = e.path();
    return out;
}

std::map<std::string, fs::path> allGeometries()
{
    auto out = filesIn("models", ".geo");
    for (auto& [k, v] : filesIn("models/robot_parts", ".geo")) out.emplace(k, v);
    return out;
}

std::set<std::string> allTextures()
{
    std::set<std::string> out;
    for (const char* folder : {"textures", "textures/greetz", "textures/dream", "textures/lightmaps"}) {
        for (auto& [k, v] : filesIn(folder, ".png")) out.insert(k);
        for (auto& [k, v] : filesIn(folder, ".jpg")) out.insert(k);
    }
    return out;
}

std::unique_ptr<Geometry> geometry(const std::string& name)
{
    auto files = allGeometries();
    if (!files.count(name)) {
        ADD_FAILURE() << "geometry " << name << " is missing";
        return nullptr;
    }
    std::string error;
    auto g = readGeometryFile(files[name].string(), &error);
    if (!g) ADD_FAILURE() << name << ".geo: " << error;
    return g;
}

std::unique_ptr<SceneNode> animation(const std::string& name)
{
    fs::path path = dataRoot() / "animations" / (name + ".ani");
    if (!fs::exists(path)) {
        ADD_FAILURE() << "animation " << name << " is missing";
        return nullptr;
    }
    std::string error;
    auto a = readAnimationFile(path.string(), &error);
    if (!a) ADD_FAILURE() << name << ".ani: " << error;
    return a;
}

// The robot's clips with the end times of the storyboard.
struct Clip {
    const char* name;
    float end;
    enum { Riding, Skeleton, Path } kind;
};
const Clip kClips[] = {
    {"writting", 24.0f, Clip::Riding},       {"go_to_posters", 40.0f, Clip::Riding},
    {"back_to_cigarette", 56.0f, Clip::Riding}, {"whisky", 76.0f, Clip::Riding},
    {"cigarette", 106.0f, Clip::Riding},     {"angry", 118.9f, Clip::Riding},
    {"porazenie", 134.0552f, Clip::Riding},  {"throw", 140.0f, Clip::Skeleton},
    {"run01", 155.0f, Clip::Path},           {"run02", 170.0f, Clip::Path},
    {"branch", 178.0f, Clip::Skeleton},      {"run021", 190.0f, Clip::Path},
    {"jump", 196.0f, Clip::Skeleton},        {"flip", 202.0f, Clip::Skeleton},
    {"run03", 215.0f, Clip::Path},           {"credits_dance", 260.0f, Clip::Skeleton},
};

sm::Vec3 origin(const sm::Mat4& m) { return sm::transformPoint(m, {}); }

} // namespace

TEST(World, EveryNameTheShowLooksUpIsThereAndReads)
{
    for (const char* name : {"factory", "fan", "bind_pose", "writting", "go_to_posters", "back_to_cigarette", "whisky",
                             "cigarette", "angry", "porazenie", "credits_dance_hand", "flying_chair", "doors", "kubek",
                             "epapieros", "smoke_sources"}) {
        SCOPED_TRACE(name);
        auto g = geometry(name);
        if (g) {
            EXPECT_FALSE(g->meshes.empty());
        }
    }
    for (const Clip& c : kClips) animation(c.name);
    for (const char* name : {"bind_pose", "run", "credits_dance_hand", "flying_chair", "doors", "kubek", "epapieros",
                             "cameras", "cameras_factory"})
        animation(name);
    auto ecig = geometry("epapieros");
    ASSERT_TRUE(ecig);
    for (const char* mesh : {"dym_papierosa", "glowa", "glowa_trg"}) EXPECT_TRUE(ecig->findMesh(mesh)) << mesh;
    auto hand = geometry("credits_dance_hand");
    ASSERT_TRUE(hand);
    EXPECT_TRUE(hand->findMesh("credits_hand"));
    EXPECT_TRUE(hand->findMesh("hand_axis"));
}

TEST(World, ClipsEndAtTheirStoryboardTimes)
{
    for (const Clip& c : kClips) {
        auto a = animation(c.name);
        if (!a) continue;
        if (c.kind == Clip::Skeleton && std::string(c.name) == "credits_dance") {
            EXPECT_GE(a->duration(), c.end) << c.name << " keeps dancing past the end picture";
        } else {
            EXPECT_NEAR(a->duration(), c.end, 1e-4) << c.name;
        }
    }
    auto run = animation("run");
    ASSERT_TRUE(run);
    EXPECT_GT(run->duration(), 0.1f);
}

TEST(World, RobotMeshesBindToTheSkeletonWithHipBelowTheRoot)
{
    auto g = geometry("bind_pose");
    auto a = animation("bind_pose");
    ASSERT_TRUE(g && a);
    EXPECT_TRUE(a->findChild("Hip"));
    std::set<int> ids;
    std::vector<SceneNode*> nodes;
    a->collectNodes(nodes);
    for (SceneNode* n : nodes) ids.insert(n->id);
    for (const auto& mesh : g->meshes) EXPECT_TRUE(ids.count(mesh->meshId)) << mesh->name << " is bound to no node";
    // Every clip on the skeleton drives every bone (a missing one would keep
    // the previous clip's pose).
    std::set<std::string> bones;
    for (SceneNode* n : nodes)
        if (!n->name.empty()) bones.insert(n->name);
    for (const char* clip : {"throw", "branch", "jump", "flip", "credits_dance", "run"}) {
        auto c = animation(clip);
        if (!c) continue;
        for (const std::string& b : bones) EXPECT_TRUE(c->findNode(b)) << clip << " lacks " << b;
    }
}

TEST(World, RidingClipsSeatTheRiderAndPassHimTheirPose)
{
    for (const Clip& c : kClips) {
        if (c.kind != Clip::Riding) continue;
        SCOPED_TRACE(c.name);
        auto vehicle = animation(c.name);
        auto chair = geometry(c.name);
        auto rider = animation("bind_pose");
        ASSERT_TRUE(vehicle && chair && rider);
        vehicle->bindMeshes(chair->meshes);
        for (const auto& m : chair->meshes) {
            std::vector<SceneNode*> all;
            vehicle->collectNodes(all);
            EXPECT_TRUE(std::any_of(all.begin(), all.end(), [&](SceneNode* n) { return n->id == m->meshId; }))
                << m->name << " has no node";
        }
        // As the show plays it: the rider's hip hangs under the seat, then the
        // vehicle's tracks are copied by name.
        SceneNode* hip = rider->findChild("Hip");
        SceneNode* seat = vehicle->findChild("quellon858");
        ASSERT_TRUE(hip && seat);
        seat->appendChild(hip);
        rider->copyTracksFrom(*vehicle);
        float mid = c.end - 0.5f;
        vehicle->updateNode(mid, 0.0f, sm::identityMatrix());
        // The rider's hip sits a little above the seat, not at the floor or
        // wherever the previous clip left it.
        sm::Vec3 h = origin(hip->world), s = origin(seat->world);
        EXPECT_LT(sm::length(h - s), 40.0f);
        EXPECT_GT(h.y, 30.0f);
        EXPECT_TRUE(hip->rotationTrack) << "the rider took no tracks from the clip";
        SceneNode* own = nullptr;
        std::vector<SceneNode*> all;
        vehicle->collectNodes(all);
        for (SceneNode* n : all)
            if (n->name == "Hip" && n != hip) own = n;
        ASSERT_TRUE(own);
        EXPECT_EQ(hip->rotationTrack, own->rotationTrack) << "the rider's hip kept its own tracks";
    }
}

TEST(World, PathsMoveAlongTheFloorAtARunningPace)
{
    for (const Clip& c : kClips) {
        if (c.kind != Clip::Path) continue;
        SCOPED_TRACE(c.name);
        auto a = animation(c.name);
        ASSERT_TRUE(a && !a->children.empty());
        SceneNode* path = a->children[0];
        float start = c.end - 1.0f;
        for (const Clip& d : kClips)
            if (d.end < c.end) start = d.end;
        sm::Vec3 last;
        double travelled = 0.0, slowest = 1e9;
        const float step = 0.1f;
        for (float t = start; t <= c.end + 1e-3f; t += step) {
            a->resetTrackHints();
            a->updateNode(t, 0.0f, sm::identityMatrix());
            sm::Vec3 p = origin(path->world);
            EXPECT_NEAR(p.y, 0.0f, 1.0f);
            EXPECT_LT(std::fabs(p.x), 2000.0f);
            EXPECT_LT(std::fabs(p.z), 1250.0f);
            if (t > start) {
                double d = std::hypot(p.x - last.x, p.z - last.z);
                travelled += d;
                slowest = std::min(slowest, d / step);
            }
            last = p;
        }
        double pace = travelled / (c.end - start);
        EXPECT_GE(pace, 480.0);
        EXPECT_LE(pace, 720.0);
        EXPECT_GT(slowest, 150.0) << "the path nearly stops";
    }
}

TEST(World, GreetingWindowsCloseBeforeTheEndPictureUnderTheShowClock)
{
    auto g = geometry("credits_dance_hand");
    ASSERT_TRUE(g);
    Mesh* hand = g->findMesh("credits_hand");
    ASSERT_TRUE(hand);
    MeshProperty* p = hand->findProperty("credits_visible");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->valueType, kPropInt);
    EXPECT_EQ(p->animationKind, kPropStep);
    IInterpolator<int>* vis = p->curve<int>();
    ASSERT_TRUE(vis);
    // Rises, each window with a length.
    int rises = 0, previous = 0;
    for (int k = 0; k < vis->keyCount(); ++k) {
        float t = 0, tNext = 0;
        int v = 0, vNext = 0;
        bool step = false;
        vis->getKey(k, t, v, step);
        if (v == 1 && previous != 1) {
            ++rises;
            ASSERT_LT(k + 1, vis->keyCount());
            vis->getKey(k + 1, tNext, vNext, step);
            EXPECT_GT(tNext - t, 0.05f) << "window " << rises;
        }
        previous = v;
    }
    EXPECT_EQ(rises, 12);
    // The show's clock: the dance time slows towards a tenth while the
    // visibility (read at the previous frame's dance time) is 1.
    for (double fps : {30.0, 60.0, 144.0}) {
        SCOPED_TRACE(fps);
        float dt = static_cast<float>(1.0 / fps), local = 200.0f, speed = 1.0f;
        bool open = false;
        int opened = 0, closed = 0;
        double lastClose = 0.0;
        for (long frame = 1; frame < static_cast<long>(100 * fps); ++frame) {
            double loop = 200.0 + static_cast<double>(frame) / fps;
            float t = local;
            local += dt * speed;
            int v = 0;
            vis->evaluate(t, v, 0);
            if (v != 1) {
                if (open) ++closed, lastClose = loop;
                open = false;
                speed = std::min(1.0f, speed + 5.0f * dt);
            } else {
                if (!open) ++opened;
                open = true;
                speed = std::max(0.1f, speed - 5.0f * dt);
            }
        }
        EXPECT_EQ(opened, 12);
        EXPECT_EQ(closed, 12);
        EXPECT_LT(lastClose, 250.0);
    }
}

TEST(World, HandSweepsUnderEachGreeting)
{
    auto g = geometry("credits_dance_hand");
    auto a = animation("credits_dance_hand");
    ASSERT_TRUE(g && a);
    a->bindMeshes(g->meshes);
    Mesh* axis = g->findMesh("hand_axis");
    IInterpolator<int>* vis = g->findMesh("credits_hand")->findProperty("credits_visible")->curve<int>();
    ASSERT_TRUE(axis && vis);
    for (int k = 0; k + 1 < vis->keyCount(); ++k) {
        float t0 = 0, t1 = 0;
        int v = 0, w = 0;
        bool s = false;
        vis->getKey(k, t0, v, s);
        vis->getKey(k + 1, t1, w, s);
        if (v != 1) continue;
        a->updatePose(t0, sm::identityMatrix());
        sm::Vec3 a0 = origin(axis->nodeMatrixValue);
        a->updatePose(t1, sm::identityMatrix());
        sm::Vec3 a1 = origin(axis->nodeMatrixValue);
        float width = sm::length(a1 - a0);
        EXPECT_GE(width, 300.0f) << "window at " << t0;
        EXPECT_LE(width, 400.0f) << "window at " << t0;
        EXPECT_LT(std::fabs(a1.y - a0.y), 0.2f * width) << "the sweep should be about level";
        // The greeting hangs below the sweep, above the dancer's head.
        EXPECT_GT(a0.y, 250.0f);
    }
    // The first three submeshes are hidden by the show: they must be helpers.
    ASSERT_GE(g->allSubMeshes.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        auto m = readMaterialFile((dataRoot() / "materials" / (g->allSubMeshes[i]->materialName + ".mat")).string());
        ASSERT_TRUE(m);
        EXPECT_EQ(m->opacity, 0.0f) << "submesh " << i << " is seen until the show hides it";
    }
}

TEST(World, SmokeSourcesCarryTheirNineProperties)
{
    auto g = geometry("smoke_sources");
    ASSERT_TRUE(g);
    EXPECT_GE(g->meshes.size(), 4u);
    EXPECT_LE(g->meshes.size(), 8u);
    for (const auto& mesh : g->meshes) {
        SCOPED_TRACE(mesh->name);
        MeshProperty* rate = mesh->findProperty("particles_per_second");
        ASSERT_TRUE(rate && rate->constant<std::int32_t>());
        EXPECT_GT(*rate->constant<std::int32_t>(), 0);
        std::map<std::string, float> v;
        for (const char* name : {"life_time_min", "life_time_max", "size_start", "size_end", "opacity_start",
                                 "opacity_end", "speed_start", "speed_end"}) {
            MeshProperty* p = mesh->findProperty(name);
            ASSERT_TRUE(p && p->constant<float>()) << name;
            v[name] = *p->constant<float>();
        }
        EXPECT_GT(v["life_time_min"], 0.0f);
        EXPECT_GE(v["life_time_max"], v["life_time_min"]);
        EXPECT_GT(v["size_end"], v["size_start"]);
        EXPECT_LE(v["opacity_start"], 1.0f);
        // The first three vertices span the vent; its normal points where the steam goes.
        ASSERT_FALSE(mesh->subMeshes.empty());
        const SubMesh& s = *mesh->subMeshes[0];
        ASSERT_GE(s.vertexCount, 3);
        const VertexLayout& L = *vertexLayout(s.vertexFormat);
        sm::Vec3 p[3];
        for (int i = 0; i < 3; ++i) std::memcpy(&p[i], s.vertices.data() + i * L.stride + L.position, 12);
        sm::Vec3 n = sm::cross(p[1] - p[0], p[2] - p[0]);
        EXPECT_GT(sm::length(n), 1.0f);
        EXPECT_LT(std::fabs(p[0].x), 2000.0f);
        EXPECT_LT(std::fabs(p[0].z), 1250.0f);
        EXPECT_GT(p[0].y, 0.0f);
    }
}

TEST(World, CameraListsBindToTheirAnimationsAndCoverTheShow)
{
    for (const char* name : {"cameras", "cameras_factory"}) {
        SCOPED_TRACE(name);
        auto root = animation(name);
        ASSERT_TRUE(root);
        CameraList list;
        std::string error;
        ASSERT_TRUE(loadCameras(list, (dataRoot() / "cameras" / (std::string(name) + ".cam")).string(), root.get(),
                                &error))
            << error;
        ASSERT_FALSE(list.empty());
        for (const auto& cam : list) {
            EXPECT_TRUE(root->findNodeById(cam->cameraId)) << "camera " << cam->cameraId << " has no node";
            EXPECT_GT(cam->endTime, 0.0f);
            EXPECT_GT(cam->farValue, cam->nearValue);
            EXPECT_GT(cam->fov(0.0f), 0.1f);
        }
        EXPECT_GT(list.back()->endTime, 256.0f) << "the last shot ends before the end picture";
    }
}

TEST(World, EverySubmeshHasAMaterialItsVerticesAndTexturesCanDraw)
{
    std::set<std::string> textures = allTextures();
    auto materials = filesIn("materials", ".mat");
    // The objects that keep their light maps in the show.
    const std::set<std::string> keepLightmaps = {"factory", "fan", "credits_dance_hand"};
    for (const auto& [name, path] : allGeometries()) {
        if (name == "smoke_sources") continue;  // emitters, never drawn
        auto g = geometry(name);
        if (!g) continue;
        for (const auto& mesh : g->meshes)
            for (const auto& sub : mesh->subMeshes) {
                SCOPED_TRACE(name + "/" + mesh->name + "/" + sub->materialName);
                ASSERT_TRUE(materials.count(sub->materialName)) << "no material file";
                auto m = readMaterialFile(materials[sub->materialName].string());
                ASSERT_TRUE(m);
                bool D = !m->diffuseMapName.empty(), N = !m->bumpMapName.empty(), O = !m->opacityMapName.empty();
                EXPECT_TRUE(!D || textures.count(m->diffuseMapName)) << m->diffuseMapName;
                EXPECT_TRUE(!N || textures.count(m->bumpMapName)) << m->bumpMapName;
                bool glow = m->name.rfind("glow", 0) == 0, transparent = m->opacity < 1.0f;
                bool L = keepLightmaps.count(name) && textures.count(mesh->name + "LightingMap") && !glow && !transparent;
                EXPECT_FALSE(O);
                EXPECT_FALSE((N || L) && !D) << "no program draws this combination";
                const VertexLayout& layout = *vertexLayout(sub->vertexFormat);
                EXPECT_GE(layout.normal, 0);
                if (D) {
                    EXPECT_GE(layout.diffuseUv, 0);
                }
                EXPECT_TRUE(!N || layout.tangent >= 0);
                EXPECT_TRUE(!L || layout.lightmapUv >= 0) << "a light map without light-map coordinates";
            }
    }
}

TEST(World, InspectorReadsEveryModelAnimationCameraListAndMaterial)
{
    std::string command = std::string("'") + MURMUR_BIN_DIR + "/murmur-inspect'";
    int files = 0;
    for (const char* folder : {"models", "models/robot_parts", "animations", "cameras", "materials"})
        for (const auto& e : fs::directory_iterator(dataRoot() / folder)) {
            if (!e.is_regular_file()) continue;
            command += " '" + e.path().string() + "'";
            ++files;
        }
    ASSERT_GT(files, 60);
    EXPECT_EQ(std::system((command + " > /dev/null").c_str()), 0) << "murmur-inspect reported a file it cannot read";
}

namespace {

struct LitTriangle {
    sm::Vec3 p[3];
    float uv[3][2];
    sm::Vec3 n;
};

// The light-mapped triangles of a mesh: those whose format carries
// light-map coordinates.
std::vector<LitTriangle> litTriangles(const Mesh& mesh)
{
    std::vector<LitTriangle> out;
    for (const auto& sub : mesh.subMeshes) {
        const VertexLayout& L = *vertexLayout(sub->vertexFormat);
        if (L.lightmapUv < 0) continue;
        for (int v = 0; v + 2 < sub->vertexCount; v += 3) {
            LitTriangle t;
            for (int k = 0; k < 3; ++k) {
                const std::uint8_t* at = sub->vertices.data() + (v + k) * L.stride;
                std::memcpy(&t.p[k], at + L.position, 12);
                std::memcpy(t.uv[k], at + L.lightmapUv, 8);
            }
            t.n = sm::cross(t.p[1] - t.p[0], t.p[2] - t.p[0]);
            float len = sm::length(t.n);
            if (len < 1e-6f) continue;
            t.n = t.n * (1.0f / len);
            out.push_back(t);
        }
    }
    return out;
}

// Bilinear light-map value (0..1, mean of the channels) at a light-map coordinate.
float lightAt(const Image& map, float u, float v)
{
    float x = u * map.width - 0.5f, y = (1.0f - v) * map.height - 0.5f;
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    float fx = x - x0, fy = y - y0;
    auto at = [&](int xi, int yi) {
        xi = std::clamp(xi, 0, int(map.width) - 1);
        yi = std::clamp(yi, 0, int(map.height) - 1);
        const std::uint8_t* p = map.pixels.data() + (std::size_t(yi) * map.width + xi) * map.channels;
        return (p[0] + p[1] + p[2]) / (3.0f * 255.0f);
    };
    return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) + (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

} // namespace

TEST(World, EveryLightMappedMeshHasAFullyBakedSeamlessLightMap)
{
    int maps = 0;
    for (const char* name : {"factory", "fan"}) {
        auto g = geometry(name);
        ASSERT_TRUE(g);
        for (const auto& mesh : g->meshes) {
            std::vector<LitTriangle> tris = litTriangles(*mesh);
            if (tris.empty()) continue;
            SCOPED_TRACE(mesh->name);
            Image map;
            ASSERT_TRUE(loadImage((dataRoot() / "textures" / "lightmaps" / (mesh->name + "LightingMap.png")).string(), map))
                << "no light map";
            ++maps;
            EXPECT_EQ(map.width & (map.width - 1), 0u);
            EXPECT_EQ(map.height & (map.height - 1), 0u);
            // Nothing left unbaked or unfilled: baked light is never black.
            int black = 0;
            for (std::size_t i = 0; i < map.pixels.size(); i += map.channels)
                if (map.pixels[i] < 4 && map.pixels[i + 1] < 4 && map.pixels[i + 2] < 4) ++black;
            EXPECT_EQ(black, 0);
            for (const LitTriangle& t : tris)
                for (const auto& uv : t.uv) {
                    EXPECT_GT(uv[0], 0.0f);
                    EXPECT_LT(uv[0], 1.0f);
                    EXPECT_GT(uv[1], 0.0f);
                    EXPECT_LT(uv[1], 1.0f);
                }
            // No seams: where two charts meet on a flat or gently curved
            // surface, both sides of the border carry the same light.
            using Key = std::tuple<long, long, long>;
            auto key = [](sm::Vec3 p) { return Key{std::lround(p.x * 10), std::lround(p.y * 10), std::lround(p.z * 10)}; };
            std::map<std::pair<Key, Key>, std::vector<std::pair<int, int>>> edges;
            for (int i = 0; i < int(tris.size()); ++i)
                for (int k = 0; k < 3; ++k) {
                    Key a = key(tris[i].p[k]), b = key(tris[i].p[(k + 1) % 3]);
                    edges[{std::min(a, b), std::max(a, b)}].push_back({i, k});
                }
            int seams = 0, bad = 0;
            double total = 0.0;
            for (const auto& [e, users] : edges) {
                if (users.size() != 2) continue;
                const LitTriangle &A = tris[users[0].first], &B = tris[users[1].first];
                if (sm::dot(A.n, B.n) < 0.94f) continue;
                int ka = users[0].second, kb = users[1].second;
                // The shared edge's middle, through each triangle's own coordinates.
                auto mid = [](const LitTriangle& t, int k, const sm::Vec3& from, float* out) {
                    int k2 = (k + 1) % 3;
                    bool same = sm::length(t.p[k] - from) < 0.05f;
                    const float* u0 = t.uv[same ? k : k2];
                    const float* u1 = t.uv[same ? k2 : k];
                    out[0] = 0.5f * (u0[0] + u1[0]);
                    out[1] = 0.5f * (u0[1] + u1[1]);
                };
                float ua[2], ub[2];
                mid(A, ka, A.p[ka], ua);
                mid(B, kb, A.p[ka], ub);
                if (std::fabs(ua[0] - ub[0]) < 1e-4f && std::fabs(ua[1] - ub[1]) < 1e-4f) continue;  // inside one chart
                float d = std::fabs(lightAt(map, ua[0], ua[1]) - lightAt(map, ub[0], ub[1]));
                ++seams;
                total += d;
                if (d > 0.12f) ++bad;
            }
            if (seams > 0) {
                EXPECT_LT(total / seams, 0.03) << seams << " chart borders";
                EXPECT_LE(bad, std::max(2, seams / 20)) << "of " << seams << " chart borders";
            }
        }
    }
    EXPECT_GE(maps, 8);
}

TEST(World, FanBladesTurnAboutTheHub)
{
    auto g = geometry("fan");
    ASSERT_TRUE(g);
    EXPECT_GE(g->version, 1);
    ASSERT_FALSE(g->meshes.empty());
    for (const auto& mesh : g->meshes) {
        SCOPED_TRACE(mesh->name);
        const sm::Mat4& F = mesh->fileTransform;
        const sm::Mat4& Fi = mesh->fileTransformInverse;
        sm::Vec3 hub = sm::transformPoint(Fi, {0, 0, 0});
        sm::Vec3 axis = sm::transformPoint(Fi, {1, 0, 0}) - hub;
        // High on the west wall, blowing into the hall.
        EXPECT_LT(hub.x, -1800.0f);
        EXPECT_GT(hub.y, 400.0f);
        EXPECT_GT(axis.x, 0.99f);
        // Spinning as the show spins it: the hub stays put and every vertex
        // keeps its distance to the axis and its place along it.
        for (float angle : {0.7f, 2.0f, 4.5f}) {
            sm::Mat4 R = sm::rotationAxisAngle({1, 0, 0}, angle);
            sm::Mat4 M = Fi * R * F;
            sm::Vec3 h = sm::transformPoint(M, hub);
            EXPECT_LT(sm::length(h - hub), 0.01f);
            double sumR = 0.0;
            sm::Vec3 centre;
            int n = 0;
            for (const auto& sub : mesh->subMeshes) {
                const VertexLayout& L = *vertexLayout(sub->vertexFormat);
                for (int v = 0; v < sub->vertexCount; v += 7) {
                    sm::Vec3 p;
                    std::memcpy(&p, sub->vertices.data() + v * L.stride + L.position, 12);
                    sm::Vec3 q = sm::transformPoint(M, p);
                    sm::Vec3 d0 = p - hub, d1 = q - hub;
                    EXPECT_NEAR(sm::dot(d0, axis), sm::dot(d1, axis), 0.05f);
                    EXPECT_NEAR(sm::length(d0), sm::length(d1), 0.05f);
                    EXPECT_LT(sm::length(d0 - axis * sm::dot(d0, axis)), 170.0f) << "outside the housing";
                    centre = centre + p;
                    sumR += 1;
                    ++n;
                }
            }
            // The rotor is balanced on the hub: its vertices centre on the axis.
            centre = centre * (1.0f / n);
            sm::Vec3 off = centre - hub;
            EXPECT_LT(sm::length(off - axis * sm::dot(off, axis)), 10.0f);
        }
    }
}

TEST(World, SetStaysWithinItsTriangleBudget)
{
    auto g = geometry("factory");
    ASSERT_TRUE(g);
    long triangles = 0;
    for (SubMesh* s : g->allSubMeshes) triangles += s->vertexCount / 3;
    EXPECT_LE(triangles, 150000);
    EXPECT_GT(triangles, 10000) << "the hall should be more than a box";
}
