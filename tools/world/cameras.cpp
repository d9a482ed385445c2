#include "tools/world/cameras.h"

#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/output.h"
#include "tools/world/performance.h"
#include "tools/world/robot_rig.h"
#include "tools/world/schedule.h"
#include "tools/model/vec_ops.h"

#include <cmath>

namespace world {

namespace L = layout;

namespace {

struct Shot {
    float endBar;     // the cut, in bars of the music
    sm::Vec3 eye;     // where the camera stands
    sm::Vec3 offset;  // aim: the robot's chest plus this
    float fov;        // horizontal, radians
};

void addCamera(CameraList& list, SceneNode& root, int id, float start, float end, sm::Vec3 eye0, sm::Vec3 eye1,
               sm::Vec3 target0, sm::Vec3 target1, float fov, float nearPlane, float farPlane)
{
    auto cam = std::make_unique<AnimCamera>();
    cam->cameraId = id;
    cam->name = "camera" + std::to_string(id);
    cam->view = lookAtView(eye0, target0);
    cam->fovValue = fov;
    cam->nearValue = nearPlane;
    cam->farValue = farPlane;
    SceneNode& n = addNode(root, cam->name, id);
    keyPosition(n, start, eye0);
    keyRotation(n, start, cameraRotation(eye0, target0));
    keyPosition(n, end, eye1);
    keyRotation(n, end, cameraRotation(eye1, target1));
    list.push_back(std::move(cam));
}

} // namespace

void writeCameras(content::Staging& staging, Performance& robot)
{
    auto chest = [&](float t) { return robot.bonePosition(t, rig::kChest); };
    const sm::Vec3 desk = L::kChairAtDesk;
    const sm::Vec3 stage = L::kStageCentre;
    // Cuts on bar lines: office shots long, the run quicker, the dance long.
    const Shot shots[] = {
        {4, {-300, 420, 700}, {0, 0, 0}, 1.25f},                     // the hall, wide
        {12, {desk.x + 260, 190, desk.z + 260}, {0, -10, 0}, 0.9f},   // the desk
        {21, {desk.x + 420, 230, desk.z + 180}, {0, 0, 0}, 0.9f},     // rolling to the posters
        {30, {desk.x - 150, 170, desk.z + 220}, {0, 0, 0}, 0.75f},    // back, spinning
        {40, {desk.x + 160, 150, desk.z + 120}, {0, 10, 0}, 0.7f},    // the mug
        {53, {desk.x - 120, 160, desk.z + 140}, {0, 15, 0}, 0.65f},   // vaping, the exhale
        {59, {desk.x + 220, 260, desk.z + 300}, {0, 0, 0}, 0.9f},     // the dream, wide
        {63, {desk.x + 140, 150, desk.z + 160}, {0, 10, 0}, 0.7f},    // angry
        {71, {desk.x + 240, 180, desk.z + 260}, {0, 0, 0}, 0.95f},    // the shock, the blackout
        {74, {desk.x + 500, 200, desk.z + 500}, {0, 0, 0}, 1.0f},     // the throw
        {79, {-600, 300, 400}, {0, -40, 0}, 1.1f},                     // run 1
        {82, {600, 250, -200}, {0, -40, 0}, 1.0f},                     // run 1, the fan stops
        {86, {-1300, 260, 300}, {0, -40, 0}, 1.0f},                    // run 2
        {90, {400, 200, 200}, {0, -40, 0}, 0.9f},                      // run 2
        {94, {L::kSwingPipeX - 450, 140, 100}, {0, 40, 0}, 1.0f},      // the swing, low
        {100, {600, 250, 600}, {0, -40, 0}, 1.0f},                     // run 3
        {103, {1400, 60, 650}, {0, 60, 0}, 1.0f},                      // the jump, low
        {106, {900, 80, 500}, {0, 60, 0}, 1.0f},                       // the flip, low
        {114, {-400, 280, 700}, {0, -40, 0}, 1.1f},                    // to the stage
        {160, {stage.x + 200, 260, stage.z + 900}, {0, 150, 0}, 1.05f}, // the dance and the hand
    };
    CameraList mains;
    SceneNode mainRoot;
    float start = 0.0f;
    int id = 1;
    for (const Shot& s : shots) {
        float end = s.endBar * kBar;
        sm::Vec3 a = chest(std::max(start, 0.1f)) + s.offset, b = chest(std::min(end, 262.0f)) + s.offset;
        sm::Vec3 aim = (a + b) * 0.5f;
        addCamera(mains, mainRoot, id++, start, end, s.eye, s.eye, aim, aim, s.fov, 10.0f, 9000.0f);
        start = end;
    }
    saveCameraFile(staging, "cameras/cameras.cam", mains);
    saveAnimationFile(staging, "animations/cameras.ani", mainRoot);

    // The shadow light: from the sun's side, over each part of the set.
    const sm::Vec3 sun = model::normalized(L::kSunTravel);
    struct Area {
        float end;
        sm::Vec3 centre;
        float fov;  // wide enough for the robot's moves there
    };
    const Area areas[] = {
        {134.1f, desk + sm::Vec3{0, 60, -40}, 0.35f},
        {140.0f, desk + sm::Vec3{300, 60, 200}, 0.35f},
        {170.0f, {0, 60, 0}, 1.0f},
        {202.0f, {1300, 60, 300}, 0.35f},
        {300.0f, stage + sm::Vec3{0, 80, 0}, 0.35f},
    };
    CameraList shadows;
    SceneNode shadowRoot;
    start = 0.0f;
    id = 1;
    for (const Area& a : areas) {
        sm::Vec3 eye = a.centre - sun * 2200.0f;
        addCamera(shadows, shadowRoot, id++, start, a.end, eye, eye, a.centre, a.centre, a.fov, 800.0f, 4000.0f);
        start = a.end;
    }
    saveCameraFile(staging, "cameras/cameras_factory.cam", shadows);
    saveAnimationFile(staging, "animations/cameras_factory.ani", shadowRoot);
}

} // namespace world
