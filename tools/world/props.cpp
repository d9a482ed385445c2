#include "tools/world/props.h"

#include "tools/model/primitives.h"
#include "tools/model/transform.h"
#include "tools/world/chair.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/output.h"
#include "tools/world/performance.h"
#include "tools/world/robot_rig.h"
#include "tools/world/schedule.h"

#include <cmath>

namespace world {

using namespace model;
namespace L = layout;

namespace {

// A mesh with one degenerate triangle: a point that marks a place and shows nothing.
void addMarker(Model& m, const std::string& name, int id)
{
    Shape s("helper_hidden");
    auto a = s.addVertex({0, 0, 0}, {0, 1, 0}, {});
    auto b = s.addVertex({0, 0, 0}, {0, 1, 0}, {});
    auto c = s.addVertex({0, 0, 0}, {0, 1, 0}, {});
    s.addTriangle(a, b, c);
    m.addMesh(name, id).add(s);
}

// The grip of the right hand: a little below the palm's centre.
sm::Vec3 grip(Performance& robot, float t)
{
    return sm::transformPoint(robot.bone(t, rig::kHandR), {0.0f, -8.0f, 3.0f});
}

void writeFlyingChair(content::Staging& staging, Performance& robot)
{
    Model chair;
    addChairMeshes(chair, 911, 912);
    saveModel(staging, "models/flying_chair.geo", chair, false);
    SceneNode root;
    SceneNode& base = addNode(root, "flying_chair", 911);
    SceneNode& seat = addNode(base, "flying_chair_seat", 912);
    seat.position = {0, kSeatHeight, 0};
    // Held over his head until the release, then a tumbling arc of about
    // 15 m, two bounces and rest.
    const float release = 137.5f;
    sm::Vec3 from = L::kChairAtDesk;
    sm::Vec3 land{-400.0f, 0.0f, -250.0f};
    for (float t = kFlyingChairShown; t < release; t += 0.25f) {
        sm::Vec3 hands = (robot.bonePosition(t, rig::kHandL) + robot.bonePosition(t, rig::kHandR)) * 0.5f;
        float u = (t - kFlyingChairShown) / (release - kFlyingChairShown);
        keyPosition(base, t, from + (hands - sm::Vec3{0, 40, 0} - from) * std::min(1.0f, u * 2.0f));
        keyRotation(base, t, axisAngle({0, 1, 0}, 180.0f - 60.0f * u));
    }
    sm::Vec3 start = (robot.bonePosition(release, rig::kHandL) + robot.bonePosition(release, rig::kHandR)) * 0.5f -
                     sm::Vec3{0, 40, 0};
    const float flight = 1.6f;
    for (int i = 0; i <= 8; ++i) {
        float u = static_cast<float>(i) / 8.0f;
        sm::Vec3 p = start + (land - start) * u;
        p.y = start.y * (1 - u) + 450.0f * std::sin(3.14159265f * u);
        keyPosition(base, release + flight * u, p);
        keyRotation(base, release + flight * u, eulerYXZ(120.0f - 200.0f * u, 300.0f * u, 90.0f * u));
    }
    const float landed = release + flight;
    keyPosition(base, landed + 0.4f, land + sm::Vec3{150, 40, 60});
    keyRotation(base, landed + 0.4f, eulerYXZ(-90.0f, 360.0f, 120.0f));
    keyPosition(base, landed + 0.8f, land + sm::Vec3{230, 0, 90});
    keyRotation(base, landed + 0.8f, eulerYXZ(-100.0f, 360.0f, 90.0f));
    keyPosition(base, landed + 1.6f, land + sm::Vec3{250, 0, 100});
    keyRotation(base, landed + 1.6f, eulerYXZ(-105.0f, 360.0f, 90.0f));
    saveAnimationFile(staging, "animations/flying_chair.ani", root);
}

void writeDoors(content::Staging& staging)
{
    const float w = L::kDoorWidth * 0.5f + 10.0f, h = L::kDoorHeight, z = -L::kHallHalfZ + 30.0f;
    Model m;
    for (int side = 0; side < 2; ++side) {
        ModelMesh& door = m.addMesh(side == 0 ? "door_left" : "door_right", 921 + side);
        door.add(transformed(bevelBox("paint_green", {w, h, 8}, 1.5f), translate(0, h * 0.5f, 0)));
        for (int rib = 1; rib < 5; ++rib)
            door.add(transformed(bevelBox("steel_brushed", {w - 10, 6, 3}, 1.0f),
                                 translate(0, h * static_cast<float>(rib) / 5.0f, 5.5f)));
    }
    saveModel(staging, "models/doors.geo", m, false);
    SceneNode root;
    for (int side = 0; side < 2; ++side) {
        SceneNode& n = addNode(root, side == 0 ? "door_left" : "door_right", 921 + side);
        float sign = side == 0 ? -1.0f : 1.0f;
        sm::Vec3 closed{sign * w * 0.5f, 0, z}, open{sign * (w * 1.5f + 10.0f), 0, z};
        keyPosition(n, 0.0f, closed);
        keyPosition(n, 204.0f, closed);
        keyPosition(n, 205.5f, closed + (open - closed) * 0.55f);
        keyPosition(n, 207.0f, open);
    }
    saveAnimationFile(staging, "animations/doors.ani", root);
}

void writeMug(content::Staging& staging, Performance& robot)
{
    Model m;
    ModelMesh& mug = m.addMesh("kubek", 931);
    mug.add(cylinder("prop_ceramic", 4.5f, 10.0f, 20));
    mug.add(transformed(torus("prop_ceramic", 3.0f, 0.9f, 16, 8), translate(5.5f, 5.0f, 0) * rotateX(90)));
    saveModel(staging, "models/kubek.geo", m, false);
    SceneNode root;
    SceneNode& n = addNode(root, "kubek", 931);
    sm::Vec3 onDesk = L::kMugOnDesk;
    // On the desk, in his hand while he drinks.
    keyPosition(n, 0.0f, onDesk);
    for (float t = 59.0f; t <= 71.01f; t += 0.25f) {
        bool held = (t >= 59.5f && t <= 63.5f) || (t >= 66.5f && t <= 70.5f);
        keyPosition(n, t, held ? grip(robot, t) - sm::Vec3{0, 5, 0} : onDesk);
    }
    keyPosition(n, 262.0f, onDesk);
    saveAnimationFile(staging, "animations/kubek.ani", root);
}

void writeECigarette(content::Staging& staging, Performance& robot)
{
    Model m;
    ModelMesh& body = m.addMesh("epapieros", 941);
    body.add(transformed(capsule("steel_brushed", 1.2f, 11.0f, 12, 4), rotateX(90)));
    ModelMesh& tip = m.addMesh("dym_papierosa", 942);
    tip.add(transformed(sphere("glow_ecig_tip", 1.3f, 10, 5), translate(0, 0, 0)));
    addMarker(m, "glowa", 943);
    addMarker(m, "glowa_trg", 944);
    saveModel(staging, "models/epapieros.geo", m, false);

    SceneNode root;
    SceneNode& n = addNode(root, "epapieros", 941);
    SceneNode& tipNode = addNode(n, "dym_papierosa", 942);
    tipNode.position = {0, 0, 7.0f};
    sm::Vec3 onDesk = L::kECigOnDesk + sm::Vec3{0, 1.5f, 0};
    keyPosition(n, 0.0f, onDesk);
    for (float t = 77.0f; t <= 105.01f; t += 0.25f) keyPosition(n, t, grip(robot, t));
    keyPosition(n, 106.0f, onDesk);
    keyPosition(n, 262.0f, onDesk);
    // The exhale: from his mouth, forwards and up (read once, at time 0).
    const float exhale = 0.5f * (kExhaleStart + kExhaleEnd);
    sm::Mat4 head = robot.bone(exhale, rig::kHead);
    sm::Vec3 mouth = sm::transformPoint(head, {0, 8, 16});
    sm::Vec3 ahead = sm::transformPoint(head, {0, 40, 80});
    addNode(root, "glowa", 943).position = mouth;
    addNode(root, "glowa_trg", 944).position = ahead;
    saveAnimationFile(staging, "animations/epapieros.ani", root);
}

} // namespace

void writeProps(content::Staging& staging, Performance& robot)
{
    writeFlyingChair(staging, robot);
    writeDoors(staging);
    writeMug(staging, robot);
    writeECigarette(staging, robot);
}

} // namespace world
