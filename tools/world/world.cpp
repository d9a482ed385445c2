#include "tools/world/world.h"

#include "tools/content/staging.h"
#include "tools/model/unwrap.h"
#include "tools/world/cameras.h"
#include "tools/world/credits_hand.h"
#include "tools/world/lightmaps.h"
#include "tools/world/materials.h"
#include "tools/world/output.h"
#include "tools/world/performance.h"
#include "tools/world/props.h"
#include "tools/world/robot.h"
#include "tools/world/set.h"
#include "tools/world/smoke_sources.h"

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

void writeWorld(content::Staging& staging)
{
    timed("materials", [&] { writeMaterials(staging); });
    model::Model factory, fan;
    timed("set", [&] {
        factory = buildFactory();
        fan = buildFan();
        std::printf("    factory: %zu triangles, fan: %zu\n", factory.triangleCount(), fan.triangleCount());
    });
    timed("light maps", [&] { bakeAndWriteLightmaps(staging, {{&factory, 8.0f}, {&fan, 3.0f}}); });
    saveModel(staging, "models/factory.geo", factory, true);
    saveModel(staging, "models/fan.geo", fan, true);
    std::map<std::string, std::vector<std::uint8_t>> clips;
    timed("robot", [&] { writeRobot(staging, clips); });
    if (staging.failed()) return;
    Performance robot;
    std::string error;
    if (!robot.load(clips, error)) {
        staging.fail("the robot's performance: " + error);
        return;
    }
    timed("props", [&] { writeProps(staging, robot); });
    timed("credits hand", [&] { writeCreditsHand(staging); });
    timed("smoke sources", [&] { writeSmokeSources(staging); });
    timed("cameras", [&] { writeCameras(staging, robot); });
}

} // namespace world
