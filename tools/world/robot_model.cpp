#include "tools/world/robot_model.h"

#include "tools/model/primitives.h"
#include "tools/model/transform.h"
#include "tools/world/robot_rig.h"

#include <cmath>

namespace world {

using namespace model;

namespace {

// The robot's materials: orange paint, dark grey joints and boots, the dark
// visor, brushed-steel fingers, warning stripes, glowing eyes and lights.
constexpr const char* kPaint = "robot_paint";
constexpr const char* kJoint = "robot_joint";
constexpr const char* kVisor = "robot_visor";
constexpr const char* kSteel = "robot_steel";
constexpr const char* kStripes = "robot_stripes";
constexpr const char* kRubber = "rubber_black";

ModelMesh& meshOf(Model& m, int bone)
{
    const rig::Bone& b = rig::kBones[bone];
    std::string name = std::string("robot_") + b.name;
    if (ModelMesh* mesh = m.findMesh(name)) return *mesh;
    return m.addMesh(name, b.id);
}

// A cylinder along -Y from y0 down to y1 (y1 < y0), radius r0 at y0 and r1 at y1.
Shape limb(const char* material, float y0, float y1, float r0, float r1, int segments = 14)
{
    return transformed(cone(material, r1, r0, y0 - y1, segments), translate(0, y1, 0));
}

// A ring of the dark joint material around the Y axis at height y.
Shape collar(float y, float radius, float thickness = 1.2f)
{
    return transformed(torus(kJoint, radius, thickness, 16, 6), translate(0, y, 0));
}

void hipAndSpine(Model& m)
{
    ModelMesh& hip = meshOf(m, rig::kHip);
    hip.add(transformed(bevelBox(kPaint, {30, 13, 21}, 3.0f), translate(0, -1.5f, 0)));
    hip.add(transformed(bevelBox(kJoint, {31, 3, 22}, 1.0f), translate(0, 5.0f, 0)));
    // A belt buckle plate and the sockets the thighs turn in.
    hip.add(transformed(bevelBox(kSteel, {8, 5, 2}, 0.8f), translate(0, 4.5f, 11.2f)));
    for (float side : {-1.0f, 1.0f}) hip.add(transformed(sphere(kJoint, 6.8f, 14, 8), translate(side * 10, -4, 0)));
    // The waist: a dark flexible drum with ribs.
    ModelMesh& spine = meshOf(m, rig::kSpine);
    spine.add(transformed(cylinder(kJoint, 10.5f, 17.0f, 16, false), translate(0, -2.0f, 0)));
    for (float y : {2.5f, 7.0f, 11.5f}) spine.add(collar(y, 11.0f, 1.3f));
}

void chest(Model& m)
{
    ModelMesh& c = meshOf(m, rig::kChest);
    // The barrel: round in front view, a little flatter front to back.
    std::vector<Vec2> barrel = {{0, -1},    {13, -1},   {16.5f, 2},  {19.5f, 9}, {20.5f, 17},
                                {20, 25},   {18, 30},   {13, 33.5f}, {6, 34.5f}, {0, 34.5f}};
    c.add(transformed(lathe(kPaint, barrel, 24, 50.0f), scale({1.0f, 1.0f, 0.82f})));
    // The chest panel: a dark plate with a grille and three lamps.
    const float front = 16.9f;
    c.add(transformed(bevelBox(kJoint, {18, 13, 3}, 1.0f), translate(0, 17, front) * rotateX(-8)));
    for (int k = 0; k < 4; ++k)
        c.add(transformed(bevelBox(kSteel, {11, 1.2f, 1.2f}, 0.3f), translate(-2.5f, 12.5f + 2.2f * k, front + 1.7f) * rotateX(-8)));
    const char* lamps[] = {"glow_button_green", "glow_button_amber", "glow_button_red"};
    for (int k = 0; k < 3; ++k)
        c.add(transformed(sphere(lamps[k], 1.1f, 8, 4), translate(5.5f, 13.0f + 3.2f * k, front + 1.9f) * rotateX(-8)));
    // The collar the neck comes out of, the sockets of the shoulders.
    c.add(collar(33.0f, 8.0f, 2.0f));
    for (float side : {-1.0f, 1.0f})
        c.add(transformed(cylinder(kJoint, 5.5f, 4.0f, 12), translate(side * 18.5f, 25, 0) * rotateZ(side * -90.0f)));
    // A vent box on the back.
    c.add(transformed(bevelBox(kJoint, {20, 18, 6}, 1.5f), translate(0, 18, -15.5f)));
    for (int k = 0; k < 3; ++k)
        c.add(transformed(bevelBox(kSteel, {16, 1.4f, 1.0f}, 0.3f), translate(0, 13.0f + 4.5f * k, -18.8f)));
}

void neckAndHead(Model& m)
{
    ModelMesh& neck = meshOf(m, rig::kNeck);
    neck.add(cylinder(kJoint, 5.0f, 7.0f, 12, false));
    neck.add(collar(2.0f, 5.4f, 1.0f));
    neck.add(collar(4.8f, 5.4f, 1.0f));
    ModelMesh& head = meshOf(m, rig::kHead);
    // The boxy head, the visor band across the front, the mouth grille.
    head.add(transformed(bevelBox(kPaint, {30, 22, 26}, 3.5f), translate(0, 12, 0)));
    head.add(transformed(bevelBox(kVisor, {26, 10, 3}, 1.2f), translate(0, 12.5f, 12.4f)));
    for (int k = 0; k < 3; ++k)
        head.add(transformed(bevelBox(kJoint, {10, 0.9f, 1.0f}, 0.2f), translate(0, 3.2f + 1.6f * k, 13.2f)));
    // Rims around the eyes (the lit eyes themselves are the "Eyes" bone).
    for (float side : {-1.0f, 1.0f})
        head.add(transformed(torus(kSteel, 3.9f, 0.7f, 16, 6), translate(side * 6.5f, 12.0f, 14.1f) * rotateX(90)));
    // Ear bolts, a brow ridge, an antenna with a lamp.
    for (float side : {-1.0f, 1.0f}) {
        head.add(transformed(cylinder(kJoint, 4.2f, 2.0f, 14), translate(side * 15.0f, 11, 0) * rotateZ(side * -90.0f)));
        head.add(transformed(cylinder(kSteel, 1.6f, 1.2f, 10), translate(side * 17.0f, 11, 0) * rotateZ(side * -90.0f)));
    }
    head.add(transformed(bevelBox(kPaint, {28, 2.5f, 4}, 0.8f), translate(0, 19.0f, 12.0f)));
    head.add(transformed(cylinder(kSteel, 0.8f, 9.0f, 8), translate(9, 22.5f, -6)));
    head.add(transformed(sphere("glow_button_amber", 1.5f, 8, 4), translate(9, 32.0f, -6)));
}

void eyes(Model& m)
{
    ModelMesh& e = meshOf(m, rig::kEyes);
    for (float side : {-1.0f, 1.0f})
        e.add(transformed(sphere("glow_eyes", 3.3f, 14, 8), translate(side * 6.5f, 0, 0.6f) * scale({1, 1, 0.45f})));
}

void arm(Model& m, Side side)
{
    const bool left = side == Side::Left;
    const float s = left ? 1.0f : -1.0f;
    // The shoulder pad with its warning stripes.
    ModelMesh& pad = meshOf(m, left ? rig::kShoulderL : rig::kShoulderR);
    pad.add(transformed(bevelBox(kPaint, {13, 8, 17}, 2.5f), translate(s * 6.0f, 5.0f, 0) * rotateZ(s * -12.0f)));
    pad.add(transformed(box(kStripes, {10, 0.6f, 13}), translate(s * 6.3f, 9.3f, 0) * rotateZ(s * -12.0f)));
    // Upper arm: the shoulder ball, the painted tube, the elbow collar.
    ModelMesh& upper = meshOf(m, left ? rig::kUpperArmL : rig::kUpperArmR);
    upper.add(sphere(kJoint, 6.2f, 14, 8));
    upper.add(limb(kPaint, -3.0f, -22.5f, 5.0f, 4.4f));
    upper.add(collar(-22.0f, 4.4f, 1.0f));
    // Forearm: the elbow ball, a tapered tube, a cuff at the wrist.
    ModelMesh& fore = meshOf(m, left ? rig::kForearmL : rig::kForearmR);
    fore.add(sphere(kJoint, 5.2f, 14, 8));
    fore.add(limb(kPaint, -3.0f, -21.0f, 5.0f, 4.0f));
    fore.add(transformed(bevelBox(kPaint, {3, 9, 6}, 1.0f), translate(s * 3.8f, -11, 0)));
    fore.add(limb(kJoint, -20.0f, -23.5f, 4.3f, 4.3f, 12));
    // The hand: a wrist ball and the palm block (palm facing the body).
    ModelMesh& hand = meshOf(m, left ? rig::kHandL : rig::kHandR);
    hand.add(sphere(kJoint, 3.2f, 10, 6));
    hand.add(transformed(bevelBox(kJoint, {5, 9, 9.5f}, 1.2f), translate(0, -5.5f, 0)));
    hand.add(transformed(bevelBox(kPaint, {1.2f, 6, 7}, 0.4f), translate(s * 2.7f, -5.5f, 0)));
    // Three fingers, each with a slight hook towards the palm.
    ModelMesh& fingers = meshOf(m, left ? rig::kFingersL : rig::kFingersR);
    for (float z : {-3.2f, 0.0f, 3.2f}) {
        fingers.add(transformed(sphere(kJoint, 1.7f, 8, 5), translate(0, 0, z)));
        fingers.add(transformed(capsule(kSteel, 1.4f, 4.5f, 8, 3), translate(0, -3.0f, z)));
        fingers.add(transformed(capsule(kSteel, 1.3f, 3.5f, 8, 3),
                                translate(0, -5.8f, z) * rotateZ(s * -30.0f) * translate(0, -2.0f, 0)));
    }
    // The thumb, on the front of the hand.
    ModelMesh& thumb = meshOf(m, left ? rig::kThumbL : rig::kThumbR);
    thumb.add(sphere(kJoint, 1.8f, 8, 5));
    thumb.add(transformed(capsule(kSteel, 1.5f, 5.0f, 8, 3), translate(0, -3.5f, 0.8f) * rotateX(-15)));
}

void leg(Model& m, Side side)
{
    const bool left = side == Side::Left;
    const float s = left ? 1.0f : -1.0f;
    ModelMesh& thigh = meshOf(m, left ? rig::kThighL : rig::kThighR);
    thigh.add(limb(kPaint, -4.0f, -35.0f, 6.4f, 5.6f));
    thigh.add(transformed(bevelBox(kPaint, {3, 16, 8}, 1.0f), translate(s * 6.2f, -18, 0)));
    thigh.add(collar(-35.0f, 5.6f, 1.1f));
    ModelMesh& shin = meshOf(m, left ? rig::kShinL : rig::kShinR);
    shin.add(sphere(kJoint, 6.2f, 14, 8));
    shin.add(transformed(bevelBox(kPaint, {8, 8, 3}, 1.2f), translate(0, -1.0f, 6.2f)));
    shin.add(limb(kPaint, -5.0f, -37.0f, 5.6f, 4.6f));
    shin.add(transformed(bevelBox(kStripes, {4, 12, 0.6f}, 0.2f), translate(0, -20, 5.1f) * rotateX(-2)));
    shin.add(limb(kJoint, -36.0f, -41.0f, 4.8f, 4.8f, 12));
    // The flat boot: a dark shell, a rubber sole, an orange toe cap.
    ModelMesh& foot = meshOf(m, left ? rig::kFootL : rig::kFootR);
    foot.add(sphere(kJoint, 4.6f, 12, 6));
    foot.add(transformed(bevelBox(kJoint, {12.5f, 7, 25}, 2.0f), translate(0, -4.5f, 4.0f)));
    foot.add(transformed(bevelBox(kRubber, {13.0f, 2, 26}, 0.6f), translate(0, -8.0f, 4.0f)));
    foot.add(transformed(bevelBox(kPaint, {11.5f, 4.5f, 7}, 1.5f), translate(0, -4.5f, 13.8f)));
}

} // namespace

Model robotModel()
{
    Model m;
    // Meshes in skeleton order, each in its bone's frame.
    for (int b = 0; b < rig::kBoneCount; ++b) meshOf(m, b);
    hipAndSpine(m);
    chest(m);
    neckAndHead(m);
    eyes(m);
    arm(m, Side::Left);
    arm(m, Side::Right);
    leg(m, Side::Left);
    leg(m, Side::Right);
    return m;
}

} // namespace world
