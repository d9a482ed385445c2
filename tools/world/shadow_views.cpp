#include "tools/world/cameras.h"

#include "tools/model/vec_ops.h"
#include "tools/world/framing.h"
#include "tools/world/hand_dance.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/output.h"
#include "tools/world/robot_rig.h"
#include "tools/world/robot_track.h"
#include "tools/world/schedule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace world {

using namespace model;
namespace L = layout;

namespace {

// The light stands this far back along the sun's rays from what it covers:
// far enough that its rays are nearly parallel, like the sun's.
constexpr float kLightDistance = 2600.0f;
// A part he crosses wider than this gets a view that goes with him, so the
// shadow map's texels stay small on him.
constexpr float kWidest = 1500.0f;
constexpr float kTrackStep = 0.25f;
constexpr float kFill = 0.95f;

// The parts of the set where the action is, by the clip that ends each.
struct Part {
    const char* name;
    float end;  // the clip end the part lasts until (music time)
};
const Part kParts[] = {
    {"the desk corner", 134.0552f}, {"the throw", 140.0f},   {"run, first leg", 155.0f},
    {"run, second leg", 170.0f},    {"the swing", 178.0f},   {"run, third leg", 190.0f},
    {"the crates and the platform", 202.0f}, {"run to the stage", 215.0f}, {"the stage", 1e9f},
};

// Everything of him over a stretch of the show, as spheres round his bones.
std::vector<Sphere> coverage(const RobotTrack& robot, const ShowClock& clock, float from, float to)
{
    std::vector<Sphere> out;
    for (float t = from; t <= to + 1e-3f; t += 0.1f) {
        float scene = static_cast<float>(clock.scene(t));
        for (int b = 0; b < rig::kBoneCount; ++b) out.push_back({robot.bone(scene, b), RobotTrack::kLimbRadius + 12.0f});
    }
    return out;
}

Sphere bounding(const std::vector<Sphere>& spheres)
{
    sm::Vec3 lo = spheres.front().centre, hi = lo;
    for (const Sphere& s : spheres) {
        lo = {std::min(lo.x, s.centre.x - s.radius), std::min(lo.y, s.centre.y - s.radius), std::min(lo.z, s.centre.z - s.radius)};
        hi = {std::max(hi.x, s.centre.x + s.radius), std::max(hi.y, s.centre.y + s.radius), std::max(hi.z, s.centre.z + s.radius)};
    }
    Sphere b{(lo + hi) * 0.5f, 0.0f};
    for (const Sphere& s : spheres) b.radius = std::max(b.radius, sm::length(s.centre - b.centre) + s.radius);
    return b;
}

// The width across the light's view that a span's coverage takes.
float spread(const std::vector<Sphere>& spheres, sm::Vec3 sun)
{
    sm::Vec3 side = normalized(sm::cross(sun, {0, 1, 0}));
    sm::Vec3 up = sm::cross(side, sun);
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
    for (const Sphere& s : spheres) {
        float a = sm::dot(s.centre, side), b = sm::dot(s.centre, up);
        lo[0] = std::min(lo[0], a - s.radius), hi[0] = std::max(hi[0], a + s.radius);
        lo[1] = std::min(lo[1], b - s.radius), hi[1] = std::max(hi[1], b + s.radius);
    }
    return std::max(hi[0] - lo[0], (hi[1] - lo[1]) * kShowAspect);
}

struct Span {
    float from, to;
    std::string name;
};

} // namespace

void writeShadowCameras(content::Staging& staging, const RobotTrack& robot, const HandDance& dance,
                        const std::vector<float>& mainCuts)
{
    ShowClock clock(dance.windows(), 60.0);
    const sm::Vec3 sun = normalized(L::kSunTravel);
    // Each part lasts until the main cut nearest its clip's end.
    auto nearestCut = [&](float t) {
        return *std::min_element(mainCuts.begin(), mainCuts.end(),
                                 [&](float a, float b) { return std::fabs(a - t) < std::fabs(b - t); });
    };
    std::vector<Span> spans;
    float from = 0.0f;
    for (const Part& part : kParts) {
        float to = part.end > 1e8f ? mainCuts.back() : nearestCut(part.end);
        if (to > from) spans.push_back({from, to, part.name});
        from = to;
    }
    CameraList cameras;
    SceneNode root;
    int id = 1;
    for (const Span& s : spans) {
        // The stage's view holds the last stretch through the end picture.
        const bool last = &s == &spans.back();
        const float to = last ? RobotTrack::kEnd : s.to;
        std::vector<Sphere> spheres = coverage(robot, clock, s.from, to);
        auto cam = std::make_unique<AnimCamera>();
        cam->cameraId = id;
        cam->name = "sun" + std::to_string(id);
        SceneNode& node = addNode(root, cam->name, id);
        Sphere b = bounding(spheres);
        float across = 0.0f;
        const bool tracks = spread(spheres, sun) > kWidest;
        if (!tracks) {
            // He stays in one place: the view stands over it.
            sm::Vec3 eye = b.centre - sun * kLightDistance;
            cam->view = lookAtView(eye, b.centre);
            cam->fovValue = fitFov(eye, b.centre, spheres, kFill);
            for (float t : {s.from, s.to}) {
                keyPosition(node, t, eye);
                keyRotation(node, t, cameraRotation(eye, b.centre));
            }
        } else {
            // He runs across the hall: the view goes with him, as the sun's
            // rays would, with the field of view that holds him all the way.
            std::vector<float> times;
            for (float t = s.from; t < s.to - 0.01f; t += kTrackStep) times.push_back(t);
            times.push_back(s.to);
            std::vector<sm::Vec3> centres;
            for (float t : times) centres.push_back(robot.smoothedCentre(static_cast<float>(clock.scene(t)), 0.3f));
            float fov = 0.0f;
            for (std::size_t k = 0; k < times.size(); ++k) {
                // What he takes up around each key, a little either side of it.
                std::vector<Sphere> near = coverage(robot, clock, std::max(s.from, times[k] - kTrackStep),
                                                    std::min(to, times[k] + kTrackStep));
                fov = std::max(fov, fitFov(centres[k] - sun * kLightDistance, centres[k], near, kFill * 0.85f));
            }
            cam->fovValue = fov;
            cam->view = lookAtView(centres.front() - sun * kLightDistance, centres.front());
            for (std::size_t k = 0; k < times.size(); ++k) {
                sm::Vec3 eye = centres[k] - sun * kLightDistance;
                keyPosition(node, times[k], eye);
                keyRotation(node, times[k], cameraRotation(eye, centres[k]));
            }
            b.radius = 300.0f;
        }
        cam->nearValue = kLightDistance - b.radius - 100.0f;
        // Far beyond him: the floor and walls his shadow falls on.
        cam->farValue = kLightDistance + b.radius + 2500.0f;
        across = 2.0f * kLightDistance * std::tan(cam->fovValue * 0.5f);
        std::printf("    sun view %d %7.2f-%7.2f  %-28s %s %5.0f across, %.2f cm a texel at 1920 wide\n", id, s.from,
                    s.to, s.name.c_str(), tracks ? "tracking" : "standing", across, across / 1920.0f);
        cameras.push_back(std::move(cam));
        ++id;
    }
    saveCameraFile(staging, "cameras/cameras_factory.cam", cameras);
    saveAnimationFile(staging, "animations/cameras_factory.ani", root);
}

} // namespace world
