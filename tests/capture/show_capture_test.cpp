// murmur-capture on the show itself: the program run as a user runs it, on
// the content the build authored, at a small size and a coarse clock.
#include "tests/capture/png_picture.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "anim/animation_file.h"
#include "anim/animation_writer.h"
#include "anim/camera_file.h"
#include "content/geometry/geometry_reader.h"
#include "content/image.h"

namespace fs = std::filesystem;

namespace {

using capturetest::Picture;
using capturetest::readPng;

constexpr int kWidth = 160;
constexpr int kHeight = 90;
// The clock of the timeline run: four frames a second keep it short.
constexpr float kStep = 0.25f;

std::string content() { return std::string(MURMUR_BIN_DIR) + "/../content_staging/quellon_data/"; }

struct Ran {
    int code = -1;
    std::string output;
};

// Standard error goes with the output unless `errors` says where else.
Ran capture(const std::string& arguments, const std::string& errors = "&1", const std::string& data = content())
{
    const std::string command =
        std::string(MURMUR_BIN_DIR) + "/murmur-capture --data " + data + " " + arguments + " 2>" + errors;
    Ran run;
    std::FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A content picture averaged down to width x height (its first row is the
// top of the picture, as the show shows it).
Picture shrunk(const std::string& path, int width, int height)
{
    Image image;
    if (!loadImage(path, image)) return {};
    Picture p{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * 3))};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t x0 = image.width * x / width, x1 = image.width * (x + 1) / width;
            const std::uint32_t y0 = image.height * y / height, y1 = image.height * (y + 1) / height;
            double sum[3] = {0, 0, 0};
            for (std::uint32_t sy = y0; sy < y1; ++sy)
                for (std::uint32_t sx = x0; sx < x1; ++sx)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += image.pixels[(static_cast<std::size_t>(sy) * image.width + sx) * image.channels +
                                              static_cast<std::size_t>(std::min(c, image.channels - 1))];
            const double count = static_cast<double>((x1 - x0) * (y1 - y0));
            for (int c = 0; c < 3; ++c)
                p.rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c] = static_cast<std::uint8_t>(sum[c] / count);
        }
    return p;
}

// Mean absolute difference per channel of two pictures of one size, 0-255.
double meanDifference(const Picture& a, const Picture& b)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 255.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / static_cast<double>(a.rgb.size());
}

struct Rect {
    int x0, y0, x1, y1;  // x1, y1 exclusive
    int area() const { return std::max(0, x1 - x0) * std::max(0, y1 - y0); }
};

// The share of the pixels of `r` that differ by more than a few levels.
double changedShare(const Picture& a, const Picture& b, const Rect& r)
{
    int changed = 0;
    for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x) {
            const std::uint8_t* p = a.at(x, y);
            const std::uint8_t* q = b.at(x, y);
            if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 12) ++changed;
        }
    return r.area() > 0 ? static_cast<double>(changed) / r.area() : 0.0;
}

sm::Vec4 project(const sm::Mat4& m, sm::Vec3 v)
{
    const float* a = m.a;
    return {a[0] * v.x + a[4] * v.y + a[8] * v.z + a[12], a[1] * v.x + a[5] * v.y + a[9] * v.z + a[13],
            a[2] * v.x + a[6] * v.y + a[10] * v.z + a[14], a[3] * v.x + a[7] * v.y + a[11] * v.z + a[15]};
}

// Where the fan lies on a kWidth x kHeight picture at time t, worked out
// from the content files themselves (the fan's geometry, the main cameras
// and their animation), as the show's own cut rule picks the camera. Empty
// when the fan is not wholly in front of the camera. `shot` is the camera's
// index.
std::optional<Rect> fanOnScreen(float t, int* shot)
{
    static std::unique_ptr<Geometry> fan = readGeometryFile(content() + "models/fan.geo");
    static std::unique_ptr<SceneNode> root = readAnimationFile(content() + "animations/cameras.ani");
    static CameraList cameras;
    if (cameras.empty() && root) loadCameras(cameras, content() + "cameras/cameras.cam", root.get());
    if (!fan || !root || cameras.empty()) return std::nullopt;
    std::size_t index = 0;
    while (index + 1 < cameras.size() && t > cameras[index]->endTime) ++index;
    *shot = static_cast<int>(index);
    root->updateNode(t, 0.0f, sm::identityMatrix());
    const AnimCamera& camera = *cameras[index];
    sm::Mat4 view;
    camera.viewMatrix(view);
    const sm::Mat4 viewProjection =
        sm::perspectiveFovX(camera.fov(t), float(kWidth) / float(kHeight), camera.nearPlane(), camera.farPlane()) *
        view;
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const SubMesh* s : fan->allSubMeshes) {
        const BoundingBox& b = s->bounds;
        for (int corner = 0; corner < 8; ++corner) {
            const sm::Vec4 p = project(viewProjection, {corner & 1 ? b.maxX : b.minX, corner & 2 ? b.maxY : b.minY,
                                                        corner & 4 ? b.maxZ : b.minZ});
            if (p.w <= 0.0f) return std::nullopt;
            const float sx = (p.x / p.w + 1.0f) * 0.5f * kWidth;
            const float sy = (1.0f - p.y / p.w) * 0.5f * kHeight;
            x0 = std::min(x0, sx), x1 = std::max(x1, sx), y0 = std::min(y0, sy), y1 = std::max(y1, sy);
        }
    }
    Rect r{std::max(0, int(std::ceil(x0))), std::max(0, int(std::ceil(y0))), std::min(kWidth, int(x1)),
           std::min(kHeight, int(y1))};
    if (r.area() <= 0) return std::nullopt;
    return r;
}

// The first time from `from` (in steps of 0.5 s) at which the fan fills at
// least `pixels` of the picture, and stays in the same shot a frame later.
std::optional<float> fanInView(float from, float to, int pixels, Rect& rect)
{
    for (float t = from; t < to; t += 0.5f) {
        int shot = -1, later = -2;
        const auto r = fanOnScreen(t, &shot);
        if (r && r->area() >= pixels && fanOnScreen(t + kStep, &later) && shot == later) {
            rect = *r;
            return t;
        }
    }
    return std::nullopt;
}

class ShowCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("murmur-show-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        if (!getenv("MURMUR_KEEP_TEST_FILES")) fs::remove_all(dir_);
    }
    fs::path dir_;
};

// Holds a curve at its value at time t, keeping its key times (and so the
// end time the cut rule reads).
template <typename Curve>
void holdAt(Curve* curve, float t)
{
    if (!curve || curve->keyCount() == 0) return;
    typename Curve::ValueType held{};
    curve->evaluate(t, held, 0);
    for (int i = 0; i < curve->keyCount(); ++i) {
        float time = 0.0f;
        typename Curve::ValueType value{};
        bool step = false;
        curve->getKey(i, time, value, step);
        curve->setKey(time, held, step);
    }
}

// Holds the node with the id and every node above it at their pose at t.
bool holdPathAt(SceneNode& node, int id, float t)
{
    bool onPath = node.id == id;
    for (SceneNode* child : node.children) onPath = holdPathAt(*child, id, t) || onPath;
    if (onPath) {
        holdAt(node.positionTrack.get(), t);
        holdAt(node.rotationTrack.get(), t);
        holdAt(node.scaleTrack.get(), t);
    }
    return onPath;
}

// A copy of the built content (links to its files) in which the main camera
// of each time holds still for its whole shot at its pose and field of view
// at that time; every other camera moves as built. The picture of such a
// shot changes only where the scene itself moves.
void writeContentWithStillShots(const fs::path& folder, std::initializer_list<float> times)
{
    const fs::path source = content();
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
        const fs::path relative = fs::relative(entry.path(), source);
        if (entry.is_directory())
            fs::create_directories(folder / relative);
        else if (relative != "animations/cameras.ani" && relative != "cameras/cameras.cam")
            fs::create_symlink(entry.path(), folder / relative);
    }
    std::unique_ptr<SceneNode> root = readAnimationFile(content() + "animations/cameras.ani");
    CameraList cameras;
    ASSERT_TRUE(root && loadCameras(cameras, content() + "cameras/cameras.cam", root.get()));
    for (float t : times) {
        std::size_t index = 0;
        while (index + 1 < cameras.size() && t > cameras[index]->endTime) ++index;
        ASSERT_TRUE(holdPathAt(*root, cameras[index]->cameraId, t));
        holdAt(cameras[index]->fovTrack.get(), t);
    }
    std::string error;
    ASSERT_TRUE(saveAnimation(*root, (folder / "animations/cameras.ani").string(), &error)) << error;
    ASSERT_TRUE(saveCameras(cameras, (folder / "cameras/cameras.cam").string(), &error)) << error;
}

std::string timeName(float t)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%08.3f.png", static_cast<double>(t));
    return name;
}

std::string timeText(float t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(t));
    return text;
}

// One run through the timeline's marks: the dream, the blackout, the fan
// turning and standing still (two frames in a row), the end picture. The
// two shots that show the fan are held still, since the cameras' drift alone
// changes the fan's few pixels between frames.
TEST_F(ShowCapture, TheFramesFollowTheTimeline)
{
    Rect turning{}, still{};
    int turningShot = -1, stillShot = -2;
    const std::optional<float> before = fanInView(0.5f, 149.0f, 200, turning);
    const std::optional<float> after = fanInView(150.5f, 250.0f, 40, still);
    ASSERT_TRUE(before) << "no shot before 150 s shows the fan";
    ASSERT_TRUE(after) << "no shot after 150 s shows the fan";
    fanOnScreen(*before, &turningShot);
    fanOnScreen(*after, &stillShot);
    ASSERT_NE(turningShot, stillShot) << "one shot shows the fan on both sides of 150 s";
    const fs::path data = dir_ / "data";
    writeContentWithStillShots(data, {*before, *after});
    if (HasFatalFailure()) return;

    const std::vector<float> times{*before, *before + kStep, 108.5f, 132.0f, *after, *after + kStep, 258.5f};
    std::string at;
    for (float t : times) at += (at.empty() ? "" : ",") + timeText(t);
    const Ran run = capture("--size 160x90 --fps 4 --at " + at + " --out " + dir_.string(), "&1", data.string());
    ASSERT_EQ(run.code, 0) << run.output;
    std::vector<Picture> frames;
    for (float t : times) {
        frames.push_back(readPng(dir_ / timeName(std::stof(timeText(t)))));
        ASSERT_EQ(frames.back().width, kWidth) << timeName(t) << " in " << run.output;
    }

    // Before 150 s the fan turns: its part of two frames in a row changes;
    // after 150 s it stands still.
    EXPECT_GT(changedShare(frames[0], frames[1], turning), 0.05)
        << "the fan at " << *before << " s, pixels " << turning.x0 << "," << turning.y0 << " to " << turning.x1
        << "," << turning.y1;
    EXPECT_LT(changedShare(frames[4], frames[5], still), 0.01)
        << "the fan at " << *after << " s, pixels " << still.x0 << "," << still.y0 << " to " << still.x1 << ","
        << still.y1;

    // The dream's frames fill the screen at 108.5 s: fifteen a second from
    // 106 s, so about the fortieth.
    double nearest = 255.0;
    for (int frame = 37; frame <= 44; ++frame) {
        for (const char* extension : {".jpg", ".png"}) {
            const std::string path = content() + "textures/dream/dream" + std::to_string(frame) + extension;
            if (fs::exists(path)) nearest = std::min(nearest, meanDifference(frames[2], shrunk(path, kWidth, kHeight)));
        }
    }
    EXPECT_LT(nearest, 8.0) << "108.5 s is not a dream frame";

    // The blackout: nothing but black at 132 s.
    EXPECT_TRUE(std::all_of(frames[3].rgb.begin(), frames[3].rgb.end(), [](std::uint8_t v) { return v <= 2; }));

    // After 258 s the end picture covers everything.
    EXPECT_LT(meanDifference(frames[6], shrunk(content() + "textures/end.jpg", kWidth, kHeight)), 6.0);
}

TEST_F(ShowCapture, TheFixedClockGivesTheSameBytesOnEveryRun)
{
    for (const char* folder : {"one", "two"}) {
        const Ran run = capture("--size 160x90 --fps 10 --at 2 --out " + (dir_ / folder).string());
        ASSERT_EQ(run.code, 0) << run.output;
    }
    auto bytes = [&](const char* folder) {
        std::ifstream in(dir_ / folder / "frame-0002.000.png", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    ASSERT_FALSE(bytes("one").empty());
    EXPECT_EQ(bytes("one"), bytes("two"));
    const Picture picture = readPng(dir_ / "one" / "frame-0002.000.png");
    EXPECT_TRUE(std::any_of(picture.rgb.begin(), picture.rgb.end(), [](std::uint8_t v) { return v > 40; }))
        << "the hall is not black at 2 s";
}

// Frames that are not captured are advanced without being drawn: the
// pictures are the bytes of a run that draws every frame. A picture every
// 1.25 s from 104 s passes through the dream, the flicker, every greeting
// window (each holds the scene clock for about 2.5 s of loop time) and the
// end fade.
TEST_F(ShowCapture, FramesNotCapturedAreNotDrawnAndChangeNothing)
{
    for (const char* mode : {"skip", "all"}) {
        const Ran run = capture(std::string("--size 96x54 --fps 4 --every 1.25 --from 104 --out ") +
                                (dir_ / mode).string() + (std::string(mode) == "all" ? " --draw-all" : ""));
        ASSERT_EQ(run.code, 0) << run.output;
    }
    auto bytes = [&](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    int compared = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_ / "all")) {
        const fs::path skipped = dir_ / "skip" / entry.path().filename();
        ASSERT_TRUE(fs::exists(skipped)) << skipped;
        EXPECT_EQ(bytes(entry.path()), bytes(skipped)) << entry.path().filename();
        ++compared;
    }
    EXPECT_GE(compared, 120) << "104 s to the end of the show, every 1.25 s";
}

} // namespace
