// The authored shots as the show plays them: the staged content loaded by the
// content manager, the robot and the credits played by the show's own scene
// objects on the show's clocks (the scene clock taken from the dance clock,
// cameras posed on it and cut on music time), and every picture taken with
// the show's projection. Checks that the cuts fall on the music's bar lines,
// that he is in every shot, that the chair he throws crashes down in the
// picture, that the greetings are drawn by the hand, upright and in the
// picture, and that the shadow light's view always holds him.
#include "anim/camera_file.h"
#include "anim/core/scene_node.h"
#include "anim/animation_file.h"
#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "content/geometry/geometry_reader.h"
#include "content/geometry/vertex_format.h"
#include "content/image.h"
#include "content/texture.h"
#include "demo/camera_cuts.h"
#include "demo/credits_dance.h"
#include "demo/robot.h"
#include "math/mat4.h"
#include "tools/music/arrangement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr float kAspect = 16.0f / 9.0f;
constexpr float kFps = 30.0f;

fs::path dataRoot() { return fs::path(MURMUR_BIN_DIR) / ".." / "content_staging" / "quellon_data"; }

// The content manager's loaders without GL: geometries and animations
// through the show's readers; of the pictures only the greetings, with their
// size (nothing is uploaded).
class StagedContent : public IGraphicsEngine {
public:
    Texture* loadTexture(const std::string& path) override
    {
        if (path.find("greetz") == std::string::npos) return nullptr;
        Image image;
        if (!loadImage(path, image)) return nullptr;
        auto t = std::make_unique<Texture>();
        t->width = static_cast<int>(image.width);
        t->height = static_cast<int>(image.height);
        textures_.push_back(std::move(t));
        return textures_.back().get();
    }
    ShaderProgram* loadProgram(const std::string&, const std::string&) override { return nullptr; }
    Material* loadMaterial(const std::string&) override { return nullptr; }
    Geometry* loadGeometry(const std::string& path) override
    {
        auto g = readGeometryFile(path);
        if (!g) return nullptr;
        geometries_.push_back(std::move(g));
        return geometries_.back().get();
    }
    SceneNode* loadAnimation(const std::string& path) override
    {
        auto a = readAnimationFile(path);
        if (!a) return nullptr;
        animations_.push_back(std::move(a));
        return animations_.back().get();
    }

private:
    std::vector<std::unique_ptr<Texture>> textures_;
    std::vector<std::unique_ptr<Geometry>> geometries_;
    std::vector<std::unique_ptr<SceneNode>> animations_;
};

struct Sphere {
    sm::Vec3 centre;
    float radius = 0.0f;
};

// Around every drawn submesh of a geometry, as posed.
Sphere boundingSphere(const Geometry& g)
{
    std::vector<Sphere> parts;
    for (const SubMesh* s : g.allSubMeshes) {
        if (s->hidden || !s->mesh) continue;
        const sm::Mat4& m = s->mesh->renderMatrixValue;
        parts.push_back({sm::transformPoint(m, {s->sphere.centreX, s->sphere.centreY, s->sphere.centreZ}), s->sphere.radius});
    }
    sm::Vec3 lo = parts.front().centre, hi = lo;
    for (const Sphere& p : parts) {
        lo = {std::min(lo.x, p.centre.x - p.radius), std::min(lo.y, p.centre.y - p.radius), std::min(lo.z, p.centre.z - p.radius)};
        hi = {std::max(hi.x, p.centre.x + p.radius), std::max(hi.y, p.centre.y + p.radius), std::max(hi.z, p.centre.z + p.radius)};
    }
    Sphere b{(lo + hi) * 0.5f, 0.0f};
    for (const Sphere& p : parts) b.radius = std::max(b.radius, sm::length(p.centre - b.centre) + p.radius);
    return b;
}

// A camera's picture at music time t: the show's projection over a 16:9 frame.
struct Picture {
    sm::Mat4 view, projection;
    float nearPlane = 0.0f, farPlane = 0.0f;

    Picture(const AnimCamera& camera, float t)
    {
        camera.viewMatrix(view);
        projection = sm::perspectiveFovX(camera.fov(t), kAspect, camera.nearPlane(), camera.farPlane());
        nearPlane = camera.nearPlane();
        farPlane = camera.farPlane();
    }
    // Normalised picture coordinates (-1 to 1) of a point, and its depth.
    sm::Vec3 place(sm::Vec3 p) const
    {
        sm::Vec3 v = sm::transformPoint(view, p);
        sm::Mat4 clip = projection * sm::translation(v);
        float w = clip.a[15];
        return {clip.a[12] / w, clip.a[13] / w, -v.z};
    }
    bool inside(sm::Vec3 p) const
    {
        sm::Vec3 q = place(p);
        return q.z > nearPlane && q.z < farPlane && std::fabs(q.x) <= 1.0f && std::fabs(q.y) <= 1.0f;
    }
    // The sphere's outline in the picture: its centre and the extents of
    // the points a radius away across and up.
    struct Disc {
        float x, y, rx, ry, depth;
    };
    Disc disc(const Sphere& s) const
    {
        sm::Vec3 c = sm::transformPoint(view, s.centre);
        auto at = [&](sm::Vec3 v) {
            sm::Mat4 clip = projection * sm::translation(v);
            return sm::Vec3{clip.a[12] / clip.a[15], clip.a[13] / clip.a[15], 0.0f};
        };
        sm::Vec3 m = at(c), r = at(c + sm::Vec3{s.radius, 0, 0}), u = at(c + sm::Vec3{0, s.radius, 0});
        return {m.x, m.y, std::fabs(r.x - m.x), std::fabs(u.y - m.y), -c.z};
    }
};

// Where the music's credits section begins (music time).
double creditsStart()
{
    for (const music::Section& section : music::soundtrackSections())
        if (section.name == "credits") return section.start;
    return 0.0;
}

// How much of him the picture holds: his share of its height (the span of
// his posed vertices in the picture, clipped to its edges; 0 when none lies in
// front of the camera), and whether his highest point (the top of his head)
// is in it.
struct Coverage {
    float share = 0.0f;
    bool headIn = false;
};

Coverage coverage(const Picture& pic, const Geometry& robot)
{
    float lo = 1.0f, hi = -1.0f;
    float top = -1e9f;
    sm::Vec3 head;
    for (const SubMesh* s : robot.allSubMeshes) {
        if (s->hidden || !s->mesh) continue;
        const VertexLayout* layout = vertexLayout(s->vertexFormat);
        for (int v = 0; v < s->vertexCount; ++v) {
            sm::Vec3 p;
            std::memcpy(&p, s->vertices.data() + static_cast<std::size_t>(v) * layout->stride + layout->position, 12);
            const sm::Vec3 world = sm::transformPoint(s->mesh->renderMatrixValue, p);
            if (world.y > top) {
                top = world.y;
                head = world;
            }
            const sm::Vec3 q = pic.place(world);
            if (q.z <= pic.nearPlane) continue;
            lo = std::min(lo, std::clamp(q.y, -1.0f, 1.0f));
            hi = std::max(hi, std::clamp(q.y, -1.0f, 1.0f));
        }
    }
    return {hi > lo ? (hi - lo) * 0.5f : 0.0f, pic.inside(head)};
}

// What a shot must hold of him, by what happens in its middle (music time):
// the big moments (the drop and the throw, the swing on the pipe, the leap
// over the crates, the flip) at least 0.40 of the picture's height; every
// other shot 0.30, but the establishing wide, the chair's crash, the fan's
// shot and those the flicker blacks out, which show him small or not at all.
float heightWanted(float middle, int shot)
{
    const auto within = [middle](float from, float to) { return middle >= from && middle < to; };
    if (shot == 1 || within(118.9f, 134.06f)) return 0.0f;
    if (within(138.0f, 142.0f)) return 0.0f;  // the chair crashes down across the hall
    if (within(149.2f, 153.0f)) return 0.0f;  // the fan winds down as he runs past
    if (within(134.06f, 138.0f) || within(171.0f, 178.0f) || within(189.0f, 202.0f)) return 0.40f;
    return 0.30f;
}

// The show from its first frame on a steady frame clock, with no music
// device: the music time is the loop time.
class ShowRun {
public:
    bool open(std::string& error)
    {
        if (!fs::exists(dataRoot() / "animations" / "cameras.ani")) {
            error = "no staged content under " + dataRoot().string();
            return false;
        }
        content_.loadAll(dataRoot().string() + "/");
        credits_ = std::make_unique<CreditsDance>(content_);
        robot_ = std::make_unique<Robot>(content_, credits_.get());
        robot_->init();
        credits_->init();
        mainRoot_ = content_.findAnimation("cameras");
        shadowRoot_ = content_.findAnimation("cameras_factory");
        if (!mainRoot_ || !shadowRoot_) {
            error = "the camera animations did not load";
            return false;
        }
        return loadCameras(main.cameras, (dataRoot() / "cameras" / "cameras.cam").string(), mainRoot_, &error) &&
               loadCameras(shadow.cameras, (dataRoot() / "cameras" / "cameras_factory.cam").string(), shadowRoot_, &error);
    }

    // Plays frames up to loop time `until`, calling `look` after each.
    void play(float until, const std::function<void(float t, float scene)>& look)
    {
        const float dt = 1.0f / kFps;
        for (; frame_ <= static_cast<long>(until * kFps); ++frame_) {
            const float t = static_cast<float>(frame_) / kFps;
            const float scene = frame_ == 0 ? t : credits_->localTime();
            mainRoot_->updateNode(scene, dt, sm::identityMatrix());
            mainCamera = main.cut(t);
            shadowRoot_->updateNode(t, dt, sm::identityMatrix());
            shadowCamera = shadow.cut(t);
            robot_->update(scene, dt);
            credits_->update(scene, dt);
            look(t, scene);
        }
    }

    Sphere robotSphere() const { return boundingSphere(*content_.findGeometry("bind_pose")); }
    // Where the chair he throws is at scene time t.
    sm::Vec3 thrownChair(float scene) const
    {
        SceneNode* root = content_.findAnimation("flying_chair");
        SceneNode* chair = root ? root->findNode("flying_chair") : nullptr;
        if (!chair) return {0.0f, -1e6f, 0.0f};
        root->updatePose(scene, sm::identityMatrix());
        return {chair->world.a[12], chair->world.a[13], chair->world.a[14]};
    }
    const CreditsDance& credits() const { return *credits_; }
    const Geometry& hand() const { return *content_.findGeometry("credits_dance_hand"); }
    const Geometry& robot() const { return *content_.findGeometry("bind_pose"); }

    CameraCuts main, shadow;
    AnimCamera* mainCamera = nullptr;
    AnimCamera* shadowCamera = nullptr;

private:
    StagedContent loaders_;
    ContentManager content_{&loaders_};
    std::unique_ptr<CreditsDance> credits_;
    std::unique_ptr<Robot> robot_;
    SceneNode* mainRoot_ = nullptr;
    SceneNode* shadowRoot_ = nullptr;
    long frame_ = 0;
};

class ShowFraming : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        run_ = new ShowRun;
        std::string error;
        if (!run_->open(error)) {
            openError_ = error;
            delete run_;
            run_ = nullptr;
        }
    }
    static void TearDownTestSuite()
    {
        delete run_;
        run_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(run_) << openError_; }

    // The whole show is played once, in order, by the tests below.
    static ShowRun* run_;
    static std::string openError_;
};
ShowRun* ShowFraming::run_ = nullptr;
std::string ShowFraming::openError_;

TEST_F(ShowFraming, ThirtyToFiftyShotsCutOnTheMusicsBarLines)
{
    const std::vector<double> bars = music::barLines();
    const auto& cams = run_->main.cameras;
    EXPECT_GE(cams.size(), 30u);
    EXPECT_LE(cams.size(), 50u);
    float previous = 0.0f;
    for (const auto& cam : cams) {
        double nearest = *std::min_element(bars.begin(), bars.end(), [&](double a, double b) {
            return std::fabs(a - cam->endTime) < std::fabs(b - cam->endTime);
        });
        EXPECT_NEAR(cam->endTime, nearest, 1e-3) << "camera " << cam->cameraId << " cuts off the beat";
        EXPECT_GT(cam->endTime - previous, 1.5f) << "camera " << cam->cameraId << " is shorter than a bar";
        previous = cam->endTime;
    }
    ASSERT_FALSE(cams.empty());
    EXPECT_GT(cams.back()->endTime, 256.0f) << "the last shot ends before the end picture";
}

// In order of the show: the shots, the greetings and the shadow views, in
// one pass over the frames.
TEST_F(ShowFraming, HeIsInEveryShotTheGreetingsAreDrawnUprightInThePictureAndTheSunHoldsHim)
{
    const auto& cams = run_->main.cameras;
    std::vector<float> middles;
    for (std::size_t i = 0; i < cams.size(); ++i) {
        float start = i == 0 ? 0.0f : cams[i - 1]->endTime;
        float end = std::min(cams[i]->endTime, 262.0f);
        middles.push_back(0.5f * (start + end));
    }
    std::size_t next = 0;
    int greeting = -1, shadowChecks = 0, windowsSeen = 0;
    bool chairThrown = false, chairDown = false;
    bool wasOpen = false;
    float openedAt = 0.0f;
    std::vector<std::pair<float, float>> windowsOpen;  // loop time of each window's first and last frame
    // Pictures of the greetings as stored: is the lighter half of the
    // lettering (the tops of the letters) in the file's top rows?
    auto topIsLight = [](int i) {
        Image img;
        EXPECT_TRUE(loadImage((dataRoot() / "textures" / "greetz" / ("greetz" + std::to_string(i) + ".png")).string(), img));
        double sum[2] = {0, 0}, weight[2] = {0, 0};
        for (std::uint32_t y = 0; y < img.height; ++y)
            for (std::uint32_t x = 0; x < img.width; ++x) {
                const std::uint8_t* p = &img.pixels[(static_cast<std::size_t>(y) * img.width + x) * img.channels];
                double a = img.channels == 4 ? p[3] / 255.0 : 1.0;
                int half = y < img.height / 2 ? 0 : 1;
                sum[half] += a * (0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2]);
                weight[half] += a;
            }
        return sum[0] / std::max(weight[0], 1.0) > sum[1] / std::max(weight[1], 1.0);
    };

    run_->play(262.0f, [&](float t, float scene) {
        ASSERT_TRUE(run_->mainCamera && run_->shadowCamera);
        const Sphere him = run_->robotSphere();
        // The middle of each shot: all of him in the picture, him filling its
        // middle, or (a medium shot) his head in it with a fair share of him;
        // and as much of him as the shot's intention asks.
        if (next < middles.size() && t >= middles[next]) {
            Picture pic(*run_->mainCamera, t);
            Picture::Disc d = pic.disc(him);
            const int shot = static_cast<int>(next) + 1;
            const Coverage seen = coverage(pic, run_->robot());
            const float share = seen.share;
            bool whole = std::fabs(d.x) + d.rx <= 1.0f && std::fabs(d.y) + d.ry <= 1.0f;
            bool fills = std::hypot(d.x / d.rx, d.y / d.ry) < 1.0f;
            bool medium = seen.headIn && share >= 0.30f;
            EXPECT_GT(d.depth, him.radius * 0.5f) << "shot " << next + 1 << " at " << t << " s: he is behind the camera";
            EXPECT_TRUE(whole || fills || medium)
                << "shot " << next + 1 << " at " << t << " s: he is at (" << d.x << ", " << d.y << ") with a radius of ("
                << d.rx << ", " << d.ry << ")";
            EXPECT_GE(share, heightWanted(t, shot)) << "shot " << shot << " at " << t << " s holds him at " << share
                                                    << " of the picture's height";
            if (std::getenv("MURMUR_FRAMING_TABLE"))
                std::printf("shot %2d  %7.2f s  height %.2f\n", shot, static_cast<double>(t), static_cast<double>(share));
            ++next;
        }
        // The thrown chair is in the picture when it crashes down (the
        // first frame it is back near the floor after flying high).
        if (!chairDown && scene > 134.0f) {
            const sm::Vec3 chair = run_->thrownChair(scene);
            chairThrown = chairThrown || chair.y > 100.0f;
            if (chairThrown && chair.y < 40.0f) {
                chairDown = true;
                EXPECT_TRUE(Picture(*run_->mainCamera, t).inside(chair)) << "the chair crashes down out of the picture at " << t << " s";
            }
        }
        // Twice a second: the sun's view holds all of him.
        if (static_cast<long>(std::lround(t * kFps)) % 15 == 0) {
            Picture sun(*run_->shadowCamera, t);
            for (sm::Vec3 o : {sm::Vec3{1, 0, 0}, sm::Vec3{-1, 0, 0}, sm::Vec3{0, 1, 0}, sm::Vec3{0, -1, 0},
                               sm::Vec3{0, 0, 1}, sm::Vec3{0, 0, -1}})
                EXPECT_TRUE(sun.inside(him.centre + o * him.radius))
                    << "the sun's view " << run_->shadowCamera->cameraId << " loses him at " << t << " s";
            ++shadowChecks;
        }
        // Each greeting, halfway through its window on the dance clock.
        const CreditsDance& c = run_->credits();
        if (c.inWindow() && !wasOpen) {
            greeting = c.greetingIndex();
            openedAt = t;
            windowsOpen.push_back({t, t});
        }
        // While it draws the fingertip (where the reveal has got to) is in
        // the picture; fully drawn, the whole greeting is, at least 0.40 of
        // the picture's width.
        if (c.inWindow()) {
            windowsOpen.back().second = t;
            Picture pic(*run_->mainCamera, t);
            const sm::Mat4 model = c.greetingModel();
            EXPECT_TRUE(pic.inside(sm::transformPoint(model, {c.progress() - 0.5f, 0.5f, 0.0f})) ||
                        pic.inside(sm::transformPoint(model, {c.progress() - 0.5f, -0.5f, 0.0f})))
                << "the fingertip writing greeting " << c.greetingIndex() << " is out of the picture at " << t << " s";
        }
        if (wasOpen && !c.inWindow() && greeting >= 0) {
            SCOPED_TRACE("greeting " + std::to_string(greeting) + " written, at " + std::to_string(t) + " s");
            Picture pic(*run_->mainCamera, t);
            const sm::Mat4 model = c.greetingModel();
            float left = 1.0f, right = -1.0f;
            for (float x : {-0.5f, 0.5f})
                for (float y : {-0.5f, 0.5f}) {
                    const sm::Vec3 corner = sm::transformPoint(model, {x, y, 0});
                    EXPECT_TRUE(pic.inside(corner)) << "a corner is out of the picture";
                    left = std::min(left, pic.place(corner).x);
                    right = std::max(right, pic.place(corner).x);
                }
            EXPECT_GE((right - left) * 0.5f, 0.40f) << "the greeting spans too little of the picture";
        }
        wasOpen = c.inWindow();
        if (c.inWindow() && greeting == c.greetingIndex() && c.progress() >= 0.5f && openedAt >= 0.0f) {
            openedAt = -1.0f;
            ++windowsSeen;
            SCOPED_TRACE("greeting " + std::to_string(greeting) + " at " + std::to_string(t) + " s");
            Picture pic(*run_->mainCamera, t);
            sm::Mat4 model = c.greetingModel();
            sm::Vec3 top = sm::transformPoint(model, {0, 0.5f, 0}), bottom = sm::transformPoint(model, {0, -0.5f, 0});
            for (float x : {-0.5f, 0.5f})
                for (float y : {-0.5f, 0.5f}) EXPECT_TRUE(pic.inside(sm::transformPoint(model, {x, y, 0}))) << "a corner is out of the picture";
            EXPECT_TRUE(pic.inside(him.centre));
            // Seen from its front, so not mirrored.
            sm::Vec3 eye;
            run_->mainCamera->position(eye);
            EXPECT_GT(sm::dot(c.spriteSide(), eye - c.spritePosition()), 0.0f) << "seen from behind";
            // Its stored top on top in the picture exactly when the
            // lettering's tops are stored there.
            bool fileTopUp = pic.place(top).y > pic.place(bottom).y;
            EXPECT_EQ(fileTopUp, topIsLight(greeting)) << "the greeting hangs upside down";
            // The hand is where the reveal has got to, on the greeting's
            // upper edge (it hangs below the hand's sweep).
            sm::Vec3 front = sm::transformPoint(model, {c.progress() - 0.5f, 0.5f, 0});
            sm::Vec3 other = sm::transformPoint(model, {c.progress() - 0.5f, -0.5f, 0});
            if (other.y > front.y) front = other;
            float nearest = 1e9f;
            for (const SubMesh* s : run_->hand().allSubMeshes) {
                if (s->hidden || !s->mesh) continue;
                const VertexLayout* layout = vertexLayout(s->vertexFormat);
                for (int v = 0; v < s->vertexCount; ++v) {
                    sm::Vec3 p;
                    std::memcpy(&p, s->vertices.data() + static_cast<std::size_t>(v) * layout->stride + layout->position, 12);
                    nearest = std::min(nearest, sm::length(sm::transformPoint(s->mesh->renderMatrixValue, p) - front));
                }
            }
            EXPECT_LT(nearest, 40.0f) << "the hand is not where the greeting is being revealed";
        }
    });
    EXPECT_EQ(next, middles.size());
    EXPECT_EQ(windowsSeen, 12);
    // The credits: 6 to 10 shots from the credits section on, none cut while
    // a greeting is being written.
    int creditsShots = 0;
    for (const auto& cam : cams) {
        if (cam->endTime <= creditsStart() + 0.5) continue;
        ++creditsShots;
        for (const auto& [open, close] : windowsOpen)
            EXPECT_FALSE(cam->endTime >= open - 1.0f / kFps && cam->endTime <= close + 1.0f / kFps)
                << "camera " << cam->cameraId << " cuts at " << cam->endTime << " s, inside the window " << open << " to "
                << close;
    }
    if (std::getenv("MURMUR_FRAMING_TABLE"))
        for (const auto& [open, close] : windowsOpen) std::printf("window %.3f - %.3f\n", open, close);
    EXPECT_GE(creditsShots, 6);
    EXPECT_LE(creditsShots, 10);
    EXPECT_TRUE(chairDown) << "the thrown chair never comes down";
    EXPECT_GT(shadowChecks, 500);
}

} // namespace
