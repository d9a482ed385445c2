#pragma once
// The robot's performance sampled once, for framing: every bone's position
// and the way his hip faces, ten times a second over the whole show, read
// back with linear blending. The cameras and the shadow views aim from it.
#include "math/vec.h"

#include <vector>

namespace world {

class Performance;

class RobotTrack {
public:
    static constexpr float kRate = 10.0f;    // samples per second
    static constexpr float kEnd = 280.0f;    // past the end picture
    static constexpr float kLimbRadius = 28.0f;  // how far his surface reaches past the bones

    explicit RobotTrack(Performance& robot);

    sm::Vec3 bone(float t, int boneIndex) const;
    // Where he faces (his hip's +Z, flattened onto the floor).
    sm::Vec3 facing(float t) const;
    // A sphere around all of him.
    sm::Vec3 centre(float t) const;
    float radius(float t) const;
    // Where he is on the floor, smoothed over `window` seconds either side
    // (how a camera operator follows him), and the direction he moves there.
    sm::Vec3 smoothedCentre(float t, float window) const;
    sm::Vec3 travel(float t, float window) const;

private:
    struct Sample {
        std::vector<sm::Vec3> bones;
        sm::Vec3 facing;
    };
    std::vector<Sample> samples_;
};

} // namespace world
