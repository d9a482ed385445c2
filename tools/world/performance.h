#pragma once
// The robot's performance evaluated with the engine's own node code, as the
// show plays it: riding clips hang the rider's hip under the seat and copy
// the vehicle's tracks, skeleton clips play at the demo time, path clips put
// the body on the path's point. Built from the clip files as written, so the
// props and cameras keyed from it follow what the show will draw.
#include "anim/core/scene_node.h"
#include "math/mat4.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace world {

class Performance {
public:
    // Takes the bytes of every clip's animation file and of "run" and "bind_pose".
    bool load(const std::map<std::string, std::vector<std::uint8_t>>& files, std::string& error);
    // The world matrix of a bone (rig::BoneIndex) at demo time t. On the
    // paths the walk cycle is where the engine's frame-by-frame advance puts
    // it at 60 frames per second (the first frame measured from the origin).
    sm::Mat4 bone(float t, int boneIndex);
    sm::Vec3 bonePosition(float t, int boneIndex) { return sm::transformPoint(bone(t, boneIndex), {}); }

private:
    std::map<std::string, std::unique_ptr<SceneNode>> trees_;
    std::unique_ptr<SceneNode> rider_;
    std::vector<SceneNode*> riderBones_;
    std::map<std::string, bool> seated_;
    // Per path clip: the distance run by each frame of the show's clock.
    struct PathTable {
        float start = 0.0f;
        std::vector<float> travelled;  // at frame k: start + k / 60
    };
    std::map<std::string, PathTable> paths_;
    float travelled(const std::string& clip, float t);
};

} // namespace world
