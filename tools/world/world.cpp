#include "tools/world/world.h"

#include "tools/content/staging.h"
#include "tools/model/unwrap.h"
#include "tools/world/cameras.h"
#include "tools/world/credits_hand.h"
#include "tools/world/hand_dance.h"
#include "tools/world/lightmaps.h"
#include "tools/world/layout.h"
#include "tools/world/materials.h"
#include "tools/world/preview.h"
#include "tools/world/output.h"
#include "tools/world/performance.h"
#include "tools/world/props.h"
#include "tools/world/robot.h"
#include "tools/world/robot_track.h"
#include "tools/world/set.h"
#include "tools/world/shot_previews.h"
#include "tools/world/sight.h"
#include "tools/world/smoke_sources.h"
#include "tools/world/world_textures.h"

#include <chrono>
#include <cstdio>

namespace world {

namespace {

template <class Work>
void timed(const char* name, Work&& work)
{
    auto begin = std::chrono::steady_clock::now();
    work();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("    %-20s %6.2f s\n", name, s);
}

} // namespace

void writeWorld(content::Staging& staging, content::Fonts& fonts, const std::string& previewFolder)
{
    timed("textures", [&] { writeWorldTextures(staging, fonts); });
    timed("materials", [&] { writeMaterials(staging); });
    model::Model factory, fan;
    timed("set", [&] {
        factory = buildFactory();
        fan = buildFan();
        std::printf("    factory: %zu triangles, fan: %zu\n", factory.triangleCount(), fan.triangleCount());
    });
    std::map<std::string, pictures::Image> lightmaps;
    timed("light maps", [&] { lightmaps = bakeAndWriteLightmaps(staging, {&factory, &fan}); });
    if (!previewFolder.empty())
        timed("previews", [&] {
            namespace L = layout;
            std::vector<PreviewView> views = {
                {"hall", {-300, 420, 1100}, {0, 150, -600}, 1.25f, {}, {}},
                {"desk", {L::kDeskCentre.x + 300, 190, L::kDeskCentre.z + 330}, {L::kDeskCentre.x, 90, L::kDeskCentre.z}, 0.95f, {}, {}},
                {"run", {1700, 160, 1100}, {600, 120, -200}, 1.15f, {}, {}},
                {"stage", {200, 260, 650}, {0, 200, -350}, 1.05f, {}, {}},
                {"windows", {0, 200, -900}, {0, 600, 1250}, 1.3f, {}, {}},
                {"fan", {-1300, 380, -300}, {-1960, 560, -620}, 1.0f, {}, {}},
                {"crane", {900, 300, 900}, {0, 650, -200}, 1.2f, {}, {}},
            };
            renderPreviews(staging, {&factory, &fan}, lightmaps, views, 640, 360, previewFolder);
        });
    saveModel(staging, "models/factory.geo", factory, true);
    saveModel(staging, "models/fan.geo", fan, true);
    std::map<std::string, std::vector<std::uint8_t>> clips;
    timed("robot", [&] { writeRobot(staging, clips, &factory); });
    if (staging.failed()) return;
    Performance robot;
    std::string error;
    if (!robot.load(clips, error)) {
        staging.fail("the robot's performance: " + error);
        return;
    }
    timed("props", [&] { writeProps(staging, robot); });
    const HandDance dance;
    timed("credits hand", [&] { writeCreditsHand(staging, dance); });
    timed("smoke sources", [&] { writeSmokeSources(staging); });
    if (staging.failed()) return;
    timed("cameras", [&] {
        const RobotTrack track(robot);
        const Sight sight({&factory, &fan});
        std::vector<float> cuts = writeMainCameras(staging, track, dance, sight);
        if (!cuts.empty()) writeShadowCameras(staging, track, dance, cuts);
    });
    if (!previewFolder.empty() && !staging.failed())
        timed("shot previews", [&] { renderShotPreviews(staging, {&factory, &fan}, lightmaps, dance, previewFolder); });
}

} // namespace world
