#include "tools/world/props.h"

#include "tools/model/primitives.h"
#include "tools/model/transform.h"
#include "tools/model/vec_ops.h"
#include "tools/world/chair.h"
#include "tools/world/keys.h"
#include "tools/world/layout.h"
#include "tools/world/output.h"
#include "tools/world/performance.h"
#include "tools/world/robot_office.h"
#include "tools/world/robot_rig.h"
#include "tools/world/robot_throw.h"
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

// A held thing's frame: at the hand's grip, its own Y axis along the hand's
// Z (the thumb side).
sm::Mat4 heldIn(Performance& robot, float t, Side side)
{
    const bool left = side == Side::Left;
    sm::Mat4 hand = robot.bone(t, left ? rig::kHandL : rig::kHandR);
    return hand * sm::translation(left ? rig::kGripL : rig::kGripR) * sm::rotation(axisAngle({1, 0, 0}, 90.0f));
}

void keyFrame(SceneNode& n, float t, const sm::Mat4& m)
{
    keyPosition(n, t, sm::transformPoint(m, {}));
    keyRotation(n, t, quatFromMatrix(m));
}

// A thing on the desk that he picks up and puts down again: at rest where
// his hand takes it, in his hand (keyed thirty times a second), at rest
// where he leaves it, hopping when he bangs the desk.
void keyHeld(SceneNode& n, Performance& robot, Side side, float pickUp, float putDown, float end)
{
    const sm::Mat4 before = heldIn(robot, pickUp, side), after = heldIn(robot, putDown, side);
    keyFrame(n, 0.0f, before);
    for (float t : evenTimes(pickUp, putDown, 30.0f)) keyFrame(n, t, heldIn(robot, t, side));
    float last = putDown;
    for (float bang : office::kBangs) {
        if (bang <= last) continue;
        keyFrame(n, bang, after);
        sm::Mat4 up = sm::translation({0, 1.6f, 0}) * after;
        keyFrame(n, bang + 0.07f, up);
        keyFrame(n, bang + 0.16f, after);
        last = bang + 0.16f;
    }
    keyFrame(n, end, after);
}

void writeFlyingChair(content::Staging& staging, Performance& robot)
{
    Model chair;
    addChairMeshes(chair, 911, 912);
    saveModel(staging, "models/flying_chair.geo", chair, false);
    SceneNode root;
    SceneNode& base = addNode(root, "flying_chair", 911);
    SceneNode& seat = addNode(base, "flying_chair_seat", 912);
    const ThrowPlan& plan = throwPlan();
    // Where the shock's chair stood, its seat swivelled and tipped as it was.
    const sm::Mat4 base0 = chairBaseFrame(plan.chair);
    const sm::Mat4 seatLocal = sm::inverse(base0) * seatFrame(plan.chair);
    seat.position = sm::transformPoint(seatLocal, {});
    seat.rotation = quatFromMatrix(seatLocal);
    keyFrame(base, 0.0f, base0);
    keyFrame(base, plan.grab, base0);
    // In his hands: held rigidly by the right hand as it was when he took it.
    const sm::Mat4 grip = sm::inverse(robot.bone(plan.grab, rig::kHandR)) * base0;
    auto held = [&](float t) { return robot.bone(t, rig::kHandR) * grip; };
    for (float t : evenTimes(plan.grab, plan.release, 30.0f)) keyFrame(base, t, held(t));
    // Thrown: a tumbling arc to the landing point, a bounce, a skid to rest
    // on its side.
    const sm::Mat4 r0 = held(plan.release);
    const sm::Vec3 p0 = sm::transformPoint(r0, {});
    const sm::Quat q0 = quatFromMatrix(r0);
    const float flight = 1.45f, g = 981.0f;
    const sm::Vec3 land = plan.landing + sm::Vec3{0, 20, 0};
    const sm::Vec3 vh = (land - p0) * (1.0f / flight);
    const float vy = (land.y - p0.y + 0.5f * g * flight * flight) / flight;
    const sm::Vec3 across = normalized(sm::cross({0, 1, 0}, normalized(sm::Vec3{vh.x, 0, vh.z})));
    auto tumble = [&](float s) {
        return axisAngle(across, 420.0f * s) * axisAngle({0, 1, 0}, -70.0f * s) * q0;
    };
    for (float t : evenTimes(plan.release, plan.release + flight, 30.0f)) {
        float s = t - plan.release;
        sm::Vec3 p{p0.x + vh.x * s, p0.y + vy * s - 0.5f * g * s * s, p0.z + vh.z * s};
        keyPosition(base, t, p);
        keyRotation(base, t, tumble(s));
    }
    const float hit = plan.release + flight;
    const sm::Quat landed = tumble(flight);
    const sm::Vec3 dir = normalized(plan.rest - plan.landing);
    const float skid = sm::length(plan.rest - plan.landing);
    // Lying on its side at rest, turned a little across its way.
    const sm::Quat lying = axisAngle({0, 1, 0}, -35.0f) * axisAngle({0, 0, 1}, 90.0f);
    const sm::Vec3 restAt = plan.rest + sm::Vec3{0, 27, 0};
    const struct {
        float dt, along, height, blend;
    } bounce[] = {{0.12f, 0.25f, 38.0f, 0.3f}, {0.28f, 0.45f, 30.0f, 0.55f}, {0.42f, 0.62f, 6.0f, 0.75f},
                  {0.7f, 0.85f, 2.0f, 0.92f}, {1.1f, 1.0f, 0.0f, 1.0f}};
    for (const auto& b : bounce) {
        sm::Vec3 p = land + dir * (skid * b.along);
        p.y = land.y + (restAt.y - land.y) * b.blend + b.height;
        keyPosition(base, hit + b.dt, p);
        keyRotation(base, hit + b.dt, slerp(landed, lying, b.blend));
    }
    keyPosition(base, 262.0f, restAt);
    keyRotation(base, 262.0f, lying);
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
    // Modelled about the point his hand holds: halfway up its side.
    Model m;
    ModelMesh& mug = m.addMesh("kubek", 931);
    mug.add(transformed(cylinder("prop_ceramic", 4.5f, 10.0f, 20), translate(0, -5.0f, 0)));
    mug.add(transformed(torus("prop_ceramic", 3.0f, 0.9f, 16, 8), translate(5.8f, 0.0f, 0) * rotateX(90)));
    saveModel(staging, "models/kubek.geo", m, false);
    SceneNode root;
    keyHeld(addNode(root, "kubek", 931), robot, Side::Right, office::kMugPickUp, office::kMugPutDown, 262.0f);
    saveAnimationFile(staging, "animations/kubek.ani", root);
}

void writeECigarette(content::Staging& staging, Performance& robot)
{
    // A slim stick along its Y axis about the point his hand holds; the
    // mouthpiece up, the glowing tip down.
    Model m;
    ModelMesh& body = m.addMesh("epapieros", 941);
    body.add(capsule("steel_brushed", 1.2f, 11.0f, 12, 4));
    body.add(transformed(cylinder("rubber_black", 0.9f, 2.5f, 10), translate(0, 5.5f, 0)));
    ModelMesh& tip = m.addMesh("dym_papierosa", 942);
    tip.add(sphere("glow_ecig_tip", 1.3f, 10, 5));
    addMarker(m, "glowa", 943);
    addMarker(m, "glowa_trg", 944);
    saveModel(staging, "models/epapieros.geo", m, false);

    SceneNode root;
    SceneNode& n = addNode(root, "epapieros", 941);
    addNode(n, "dym_papierosa", 942).position = {0, -6.8f, 0};
    keyHeld(n, robot, Side::Left, office::kECigPickUp, office::kECigPutDown, 262.0f);
    // The exhale (read once, at time 0): from his mouth along where his face
    // points, up and ahead.
    const float exhale = 0.5f * (kExhaleStart + kExhaleEnd);
    sm::Mat4 head = robot.bone(exhale, rig::kHead);
    sm::Vec3 mouth = sm::transformPoint(head, rig::kMouth);
    sm::Vec3 ahead = normalized(sm::transformPoint(head, rig::kMouth + sm::Vec3{0, 0, 1}) - mouth);
    addNode(root, "glowa", 943).position = mouth;
    addNode(root, "glowa_trg", 944).position = mouth + ahead * 75.0f;
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
