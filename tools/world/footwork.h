#pragma once
// Where the feet stand while the robot moves on his own feet: each foot is
// planted on the floor over spans of time, and steps from one spot to the
// next in a low arc. Outside the spans (in the air) the legs keep the pose
// the body's keys give them.
#include "tools/world/pose.h"

#include <vector>

namespace world {

class Footwork {
public:
    // The foot stands at `ankle` (the floor's height plus the ankle's),
    // toes towards `yaw` degrees (about +Y from +Z), from t0 to t1.
    void plant(Side side, float t0, float t1, sm::Vec3 ankle, float yaw);
    // Puts the feet where they are at t (planted, or stepping between two
    // plants that are at most `maxStep` seconds apart), blended in and out
    // over `blend` seconds at the ends of a flight.
    void apply(Pose& p, const sm::Mat4& root, float t, float maxStep = 0.7f, float blend = 0.12f) const;
    // Whether the foot is planted at t.
    bool planted(Side side, float t) const;

private:
    struct Plant {
        float t0, t1;
        sm::Vec3 ankle;
        float yaw;
    };
    std::vector<Plant> plants_[2];
};

// The ankle of a foot standing at `floor` with the toes towards yaw.
sm::Vec3 ankleOver(sm::Vec3 floor);

} // namespace world
