#include "tools/world/credits_hand.h"

#include "anim/core/state_interpolator.h"
#include "content/geometry/geometry.h"
#include "tools/content/staging.h"
#include "tools/model/primitives.h"
#include "tools/model/transform.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace world {

using namespace model;
namespace L = layout;

namespace {

constexpr int kAxisId = 951, kRigId = 952, kHandId = 953;
constexpr float kSweep = 350.0f;
constexpr float kFirstWindow = 216.0f, kWindowLength = 0.25f, kWindowGap = 0.7f;

int visibilityAt(const std::vector<GreetingWindow>& windows, double t)
{
    // Step curve: a key's value holds from its time on.
    for (const GreetingWindow& w : windows)
        if (t >= w.open && t < w.close) return 1;
    return 0;
}

void setVisibility(Geometry& g)
{
    Mesh* hand = g.findMesh("credits_hand");
    auto p = std::make_unique<MeshProperty>();
    p->name = "credits_visible";
    p->valueType = kPropInt;
    p->animationKind = kPropStep;
    p->createHolder();
    IInterpolator<int>* curve = p->curve<int>();
    curve->appendKey(0.0f, 0, false);
    for (const GreetingWindow& w : greetingWindows()) {
        curve->appendKey(w.open, 1, false);
        curve->appendKey(w.close, 0, false);
    }
    hand->addProperty(std::move(p));
}

} // namespace

std::vector<GreetingWindow> greetingWindows()
{
    std::vector<GreetingWindow> out;
    for (int i = 0; i < 12; ++i) {
        float open = kFirstWindow + static_cast<float>(i) * (kWindowLength + kWindowGap);
        out.push_back({open, open + kWindowLength});
    }
    return out;
}

std::vector<double> windowCloseTimes(const std::vector<GreetingWindow>& windows, double fps, double from,
                                     double until)
{
    std::vector<double> closes(windows.size(), -1.0);
    const float dt = static_cast<float>(1.0 / fps);
    float localTime = static_cast<float>(from), speed = 1.0f;
    bool inWindow = false;
    int index = -1;
    for (long frame = 1;; ++frame) {
        double loop = from + static_cast<double>(frame) / fps;
        if (loop > until) break;
        float t = localTime;  // the scene clock: the dance time the previous frame left
        localTime += dt * speed;
        if (visibilityAt(windows, t) != 1) {
            if (inWindow && index >= 0 && index < static_cast<int>(closes.size())) closes[static_cast<std::size_t>(index)] = loop;
            inWindow = false;
            speed = std::min(1.0f, speed + 5.0f * dt);
            continue;
        }
        if (!inWindow) {
            ++index;
            inWindow = true;
        }
        speed = std::max(0.1f, speed - 5.0f * dt);
    }
    return closes;
}

void writeCreditsHand(content::Staging& staging)
{
    std::vector<GreetingWindow> windows = greetingWindows();
    for (double fps : {30.0, 60.0, 144.0}) {
        std::vector<double> closes = windowCloseTimes(windows, fps);
        double last = *std::max_element(closes.begin(), closes.end());
        if (std::count(closes.begin(), closes.end(), -1.0) > 0 || last >= 250.0) {
            staging.fail("models/credits_dance_hand.geo: the greetings close too late at " + std::to_string(fps) +
                         " frames per second");
            return;
        }
        if (fps == 60.0) std::printf("    greetings: the last window closes at loop time %.2f s (60 fps)\n", last);
    }

    Model m;
    // The first three submeshes are hidden by the show: the helpers.
    Shape point("helper_hidden");
    for (int i = 0; i < 3; ++i) point.addVertex({0, 0, 0}, {0, 1, 0}, {});
    point.addTriangle(0, 1, 2);
    m.addMesh("hand_axis", kAxisId).add(point);
    ModelMesh& rig = m.addMesh("hand_rig", kRigId);
    rig.add(point);
    Shape guide = point;
    guide.material = "helper_guide";
    rig.add(guide);
    // The hand: palm, three fingers and a thumb, on a rod up to the crane.
    ModelMesh& hand = m.addMesh("credits_hand", kHandId);
    hand.add(transformed(bevelBox("robot_paint", {60, 50, 22}, 4.0f), translate(0, 25, 0)));
    for (int f = -1; f <= 1; ++f) {
        hand.add(transformed(bevelBox("robot_paint", {15, 34, 15}, 3.0f), translate(18.0f * f, -16, 0)));
        hand.add(transformed(bevelBox("robot_joint", {13, 26, 13}, 3.0f), translate(18.0f * f, -44, 4) * rotateX(-20)));
    }
    hand.add(transformed(bevelBox("robot_paint", {15, 36, 15}, 3.0f), translate(40, 20, 10) * rotateZ(-40)));
    hand.add(transformed(cylinder("robot_joint", 9, 40, 16), translate(0, 50, 0)));
    hand.add(transformed(cylinder("steel_brushed", 5, 300, 12), translate(0, 90, 0)));
    auto g = saveModel(staging, "models/credits_dance_hand.geo", m, false, setVisibility);

    // The dance: the hand sweeps kSweep units left to right under each
    // greeting and swings back up and over between them.
    SceneNode root;
    SceneNode& rigNode = addNode(root, "hand_rig", kRigId);
    rigNode.position = L::kStageCentre + sm::Vec3{0, L::kCraneRailY, 0};
    SceneNode& handNode = addNode(root, "credits_hand", kHandId);
    SceneNode& axis = addNode(handNode, "hand_axis", kAxisId);
    axis.position = {0, -60, 0};
    const sm::Vec3 centre = L::kStageCentre + sm::Vec3{0, 490, 160};
    keyPosition(handNode, 0.0f, centre + sm::Vec3{0, 250, 0});
    keyPosition(handNode, 205.0f, centre + sm::Vec3{0, 250, 0});
    keyPosition(handNode, 213.0f, centre + sm::Vec3{-kSweep * 0.5f, 60, 0});
    for (std::size_t i = 0; i < windows.size(); ++i) {
        // Greetings 1, 4, 7 and 10 are turned by the show; they sweep the other way.
        bool back = i % 3 == 1;
        float dir = back ? -1.0f : 1.0f;
        sm::Vec3 a = centre + sm::Vec3{-dir * kSweep * 0.5f, 0, 0};
        sm::Vec3 b = centre + sm::Vec3{dir * kSweep * 0.5f, 0, 0};
        float t0 = windows[i].open, t1 = windows[i].close;
        keyPosition(handNode, t0 - 0.12f, a + sm::Vec3{-dir * 40.0f, 25, 0});
        keyPosition(handNode, t0, a);
        keyPosition(handNode, t1, b);
        keyPosition(handNode, t1 + 0.15f, b + sm::Vec3{dir * 40.0f, 30, 0});
        if (i + 1 < windows.size()) keyPosition(handNode, 0.5f * (t1 + windows[i + 1].open), centre + sm::Vec3{0, 110, 0});
    }
    keyPosition(handNode, windows.back().close + 2.0f, centre + sm::Vec3{0, 120, 0});
    keyPosition(handNode, 262.0f, centre + sm::Vec3{0, 200, 0});
    saveAnimationFile(staging, "animations/credits_dance_hand.ani", root);
}

} // namespace world
