#pragma once
// The robot's skeleton: the node names every clip shares and the ids that
// bind the bind-pose meshes to them. Clips move tracks by node name, so every
// clip animation holds every bone (a bone left out keeps whatever the previous
// clip gave it).
//
// The character faces +Z with Y up; his left is +X. Offsets are the rest
// positions of each bone relative to its parent (the hip's is its height
// above the floor); every rest rotation is the identity, and limbs hang
// along -Y from their joint, palms facing the body. Rotations of a bone about
// its own axes: +X bends a spine forward and swings a hanging limb back; +Y
// turns to his left; +Z tips the top to his right and lifts a left arm out.
//
// Riding clips: the engine hangs the rider's "Hip" under the vehicle's seat
// node ("quellon858") and, when the clip starts, copies the tracks of every
// equally named node of the vehicle's tree into the rider. So a riding clip's
// animation holds the chair's nodes (ids binding the chair's meshes) and its
// own copy of the whole skeleton with id 0, whose "Hip" is placed relative
// to the seat.
#include "math/vec.h"

namespace world::rig {

struct Bone {
    const char* name;
    int id;       // node id of the skeleton and mesh id of the bind pose
    int parent;   // index into kBones, -1 for the hip
    sm::Vec3 offset;
};

enum BoneIndex {
    kHip, kSpine, kChest, kNeck, kHead,
    kShoulderL, kUpperArmL, kForearmL, kHandL,
    kShoulderR, kUpperArmR, kForearmR, kHandR,
    kThighL, kShinL, kFootL,
    kThighR, kShinR, kFootR,
    kEyes, kFingersL, kThumbL, kFingersR, kThumbR,
    kBoneCount
};

// Limb lengths (joint to joint) and heights of the standing rest pose.
inline constexpr float kThighLength = 40.0f, kShinLength = 43.0f, kAnkleHeight = 9.0f;
inline constexpr float kUpperArmLength = 27.0f, kForearmLength = 25.0f;
inline constexpr float kHipHeight = 96.0f;  // the hip bone; the thighs hang from 4 below it

inline constexpr Bone kBones[kBoneCount] = {
    {"Hip", 101, -1, {0.0f, kHipHeight, 0.0f}},
    {"Spine", 102, kHip, {0.0f, 10.0f, 0.0f}},
    {"Chest", 103, kSpine, {0.0f, 16.0f, 0.0f}},
    {"Neck", 104, kChest, {0.0f, 32.0f, 0.0f}},
    {"Head", 105, kNeck, {0.0f, 6.0f, 0.0f}},
    {"ShoulderL", 106, kChest, {18.0f, 25.0f, 0.0f}},
    {"UpperArmL", 107, kShoulderL, {6.0f, 0.0f, 0.0f}},
    {"ForearmL", 108, kUpperArmL, {0.0f, -kUpperArmLength, 0.0f}},
    {"HandL", 109, kForearmL, {0.0f, -kForearmLength, 0.0f}},
    {"ShoulderR", 110, kChest, {-18.0f, 25.0f, 0.0f}},
    {"UpperArmR", 111, kShoulderR, {-6.0f, 0.0f, 0.0f}},
    {"ForearmR", 112, kUpperArmR, {0.0f, -kUpperArmLength, 0.0f}},
    {"HandR", 113, kForearmR, {0.0f, -kForearmLength, 0.0f}},
    {"ThighL", 114, kHip, {10.0f, -4.0f, 0.0f}},
    {"ShinL", 115, kThighL, {0.0f, -kThighLength, 0.0f}},
    {"FootL", 116, kShinL, {0.0f, -kShinLength, 0.0f}},
    {"ThighR", 117, kHip, {-10.0f, -4.0f, 0.0f}},
    {"ShinR", 118, kThighR, {0.0f, -kThighLength, 0.0f}},
    {"FootR", 119, kShinR, {0.0f, -kShinLength, 0.0f}},
    // The eyes (scaled flat to close them), the three fingers of each hand
    // (curled together at the knuckles) and the thumbs.
    {"Eyes", 120, kHead, {0.0f, 12.0f, 13.5f}},
    {"FingersL", 121, kHandL, {0.0f, -9.0f, 0.0f}},
    {"ThumbL", 122, kHandL, {-1.5f, -3.0f, 3.5f}},
    {"FingersR", 123, kHandR, {0.0f, -9.0f, 0.0f}},
    {"ThumbR", 124, kHandR, {1.5f, -3.0f, 3.5f}},
};

// Where a hand holds a thing: the centre of the closed fingers, in the hand
// bone's frame. A held thing lies along the hand's Z axis (thumb side up when
// the arm reaches forward).
inline constexpr sm::Vec3 kGripL{-5.5f, -11.0f, 0.5f};
inline constexpr sm::Vec3 kGripR{5.5f, -11.0f, 0.5f};
// The mouth under the visor and the middle of the soles, in the head's and
// the foot's frames.
inline constexpr sm::Vec3 kMouth{0.0f, 4.0f, 15.0f};
inline constexpr sm::Vec3 kSole{0.0f, -kAnkleHeight, 4.0f};

// The seat node of every riding clip's vehicle.
inline constexpr const char* kSeatNode = "quellon858";

} // namespace world::rig
