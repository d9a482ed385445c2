#include "tools/world/shot_previews.h"

#include "anim/animation_file.h"
#include "anim/camera_file.h"
#include "content/image.h"
#include "tools/content/staging.h"
#include "tools/model/vec_ops.h"
#include "tools/pictures/image_writers.h"
#include "tools/world/hand_dance.h"
#include "tools/world/preview.h"
#include "tools/world/show_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace world {

using namespace model;

namespace {

constexpr int kWidth = 480, kHeight = 270;

// The greetings on show at scene time t, placed as the show places them.
std::vector<PreviewCard> cardsAt(const HandDance& dance, float t)
{
    std::vector<PreviewCard> out;
    const auto& sweeps = dance.sweeps();
    for (std::size_t i = 0; i < sweeps.size(); ++i) {
        const GreetingWindow& w = sweeps[i].window;
        float gone = i + 1 < sweeps.size() ? sweeps[i + 1].window.open : 1e9f;
        if (t < w.open || t >= gone) continue;
        int g = static_cast<int>(i);
        sm::Vec3 a0 = dance.axisAtOpen(g), a1 = dance.axisAtClose(g);
        PreviewCard card;
        card.picture = "textures/greetz/greetz" + std::to_string(i) + ".png";
        card.origin = a0;
        card.width = sm::length(a1 - a0);
        card.height = card.width * HandDance::kGreetingAspect;
        card.along = normalized(a1 - a0);
        sm::Vec3 side = normalized(sm::cross(card.along, {0, 1, 0}));
        if (g == 1 || g == 4 || g == 7 || g == 10) side = side * -1.0f;
        card.up = normalized(sm::cross(side, card.along));
        card.progress = std::clamp((t - w.open) / (w.close - w.open), 0.0f, 1.0f);
        out.push_back(card);
    }
    return out;
}

} // namespace

void renderShotPreviews(content::Staging& staging, const std::vector<const Model*>& set,
                        const std::map<std::string, pictures::Image>& lightmaps, const HandDance& dance,
                        const std::string& folder)
{
    std::string error;
    auto root = readAnimationFile((staging.root() / "animations" / "cameras.ani").string(), &error);
    CameraList cameras;
    if (!root || !loadCameras(cameras, (staging.root() / "cameras" / "cameras.cam").string(), root.get(), &error)) {
        staging.fail("shot previews: " + error);
        return;
    }
    ShowScene scene;
    if (!scene.load(staging.root(), error)) {
        staging.fail("shot previews: " + error);
        return;
    }
    ShowClock clock(dance.windows(), 60.0);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(folder) / "shots", ec);
    std::vector<PreviewView> views;
    float start = 0.0f;
    for (std::size_t i = 0; i < cameras.size(); ++i) {
        AnimCamera& cam = *cameras[i];
        // The middle of the shot on the music; the pose on the scene clock.
        float end = i + 1 == cameras.size() ? std::max(cam.endTime, 262.0f) : cam.endTime;
        float music = 0.5f * (start + std::min(end, 262.0f));
        float t = static_cast<float>(clock.scene(music));
        start = cam.endTime;
        root->resetTrackHints();
        root->updateNode(t, 0.0f, sm::identityMatrix());
        scene.playTo(t);
        sm::Mat4 view;
        cam.viewMatrix(view);
        sm::Vec3 eye;
        cam.position(eye);
        sm::Vec3 forward{-view.a[2], -view.a[6], -view.a[10]};
        char name[32];
        std::snprintf(name, sizeof name, "shots/%02zu", i + 1);
        PreviewView v{name, eye, eye + forward * 100.0f, cam.fov(music), {}, cardsAt(dance, t)};
        scene.collect(v.moving);
        views.push_back(std::move(v));
    }
    renderPreviews(staging, set, lightmaps, views, kWidth, kHeight, folder);

    // The credits hand up close: parked, unfolding, drawing a greeting, on
    // the arc after it, drawing a turned one, and after its bow.
    const auto& sweeps = dance.sweeps();
    auto middle = [&](int i) { return 0.5f * (sweeps[static_cast<std::size_t>(i)].window.open + sweeps[static_cast<std::size_t>(i)].window.close); };
    const std::pair<const char*, float> moments[] = {
        {"hand/1_parked", 150.0f},
        {"hand/2_unfolding", 206.5f},
        {"hand/3_drawing", middle(2)},
        {"hand/4_arc", 0.5f * (sweeps[2].window.close + sweeps[3].window.open)},
        {"hand/5_drawing_turned", middle(4)},
        {"hand/6_after", sweeps.back().window.close + 4.0f},
    };
    ShowScene close;
    if (!close.load(staging.root(), error)) return;
    std::vector<PreviewView> hand;
    std::filesystem::create_directories(std::filesystem::path(folder) / "hand", ec);
    for (const auto& [name, t] : moments) {
        close.playTo(t);
        sm::Vec3 tip = dance.at(t).tip;
        PreviewView v{name, tip + sm::Vec3{160, 60, 520}, tip + sm::Vec3{0, 110, 0}, 0.95f, {}, cardsAt(dance, t)};
        close.collect(v.moving);
        hand.push_back(std::move(v));
    }
    renderPreviews(staging, set, lightmaps, hand, kWidth, kHeight, folder);

    // The contact sheet: every shot in order, six across.
    const int across = 6, rows = static_cast<int>((views.size() + across - 1) / across);
    const int w = kWidth / 2, h = kHeight / 2;
    pictures::Image sheet;
    sheet.width = across * w;
    sheet.height = rows * h;
    sheet.channels = 3;
    sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 3, 20);
    for (std::size_t i = 0; i < views.size(); ++i) {
        ::Image shot;
        if (!loadImage(folder + "/" + views[i].name + ".jpg", shot)) continue;
        int ox = static_cast<int>(i % across) * w, oy = static_cast<int>(i / across) * h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    int sum = 0;
                    for (int k = 0; k < 4; ++k)
                        sum += shot.pixels[(static_cast<std::size_t>(2 * y + k / 2) * shot.width + 2 * x + k % 2) * 3 + c];
                    sheet.pixels[(static_cast<std::size_t>(oy + y) * sheet.width + ox + x) * 3 + c] =
                        static_cast<std::uint8_t>(sum / 4);
                }
    }
    if (!pictures::writeJpeg(folder + "/shots.jpg", sheet, 85, error)) staging.fail(error);
}

} // namespace world
