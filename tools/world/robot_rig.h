#pragma once
// The robot's skeleton: the node names every clip shares and the ids that
// bind the bind-pose meshes to them. Clips move tracks by node name, so every
// clip animation holds every bone (a bone left out keeps whatever the previous
// clip gave it).
//
// The character faces +Z with Y up; his left is +X. Offsets are the rest
// positions of each bone relative to its parent (the hip's is its height
// above the floor); every rest rotation is the identity, and limbs hang
// along -Y from their joint.
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
    kBoneCount
};

inline constexpr Bone kBones[kBoneCount] = {
    {"Hip", 101, -1, {0.0f, 95.0f, 0.0f}},
    {"Spine", 102, kHip, {0.0f, 12.0f, 0.0f}},
    {"Chest", 103, kSpine, {0.0f, 20.0f, 0.0f}},
    {"Neck", 104, kChest, {0.0f, 28.0f, 0.0f}},
    {"Head", 105, kNeck, {0.0f, 6.0f, 0.0f}},
    {"ShoulderL", 106, kChest, {17.0f, 22.0f, 0.0f}},
    {"UpperArmL", 107, kShoulderL, {5.0f, 0.0f, 0.0f}},
    {"ForearmL", 108, kUpperArmL, {0.0f, -28.0f, 0.0f}},
    {"HandL", 109, kForearmL, {0.0f, -25.0f, 0.0f}},
    {"ShoulderR", 110, kChest, {-17.0f, 22.0f, 0.0f}},
    {"UpperArmR", 111, kShoulderR, {-5.0f, 0.0f, 0.0f}},
    {"ForearmR", 112, kUpperArmR, {0.0f, -28.0f, 0.0f}},
    {"HandR", 113, kForearmR, {0.0f, -25.0f, 0.0f}},
    {"ThighL", 114, kHip, {10.0f, -4.0f, 0.0f}},
    {"ShinL", 115, kThighL, {0.0f, -43.0f, 0.0f}},
    {"FootL", 116, kShinL, {0.0f, -41.0f, 0.0f}},
    {"ThighR", 117, kHip, {-10.0f, -4.0f, 0.0f}},
    {"ShinR", 118, kThighR, {0.0f, -43.0f, 0.0f}},
    {"FootR", 119, kShinR, {0.0f, -41.0f, 0.0f}},
};

// The seat node of every riding clip's vehicle.
inline constexpr const char* kSeatNode = "quellon858";

} // namespace world::rig
