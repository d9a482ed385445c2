#pragma once

#include "anim/animation_clip.h"

class Geometry;
class SceneNode;

// Seats a character in a vehicle whose animation carries it: the rider's
// "Hip" node is linked under the vehicle's seat node ("quellon858", else
// "rama wozka"), so updating the vehicle tree moves the rider too, and the
// vehicle file's nodes named like the rider's animate the rider's limbs. The
// vehicle's meshes are shown only while the clip is current.
class WheelClip : public IAnimationClip {
public:
    // Binds the vehicle tree to the geometry, links the hip under the seat
    // and marks the vehicle's meshes as shadow casters. Without a rider or a
    // vehicle tree the clip is inert; without a geometry it plays with no
    // vehicle to show; without a hip or a seat the rider is not carried and
    // stays where it is.
    WheelClip(SceneNode* rider, SceneNode* vehicle, Geometry* geometry);

    // Shows the vehicle and moves the vehicle file's tracks onto the rider.
    void start() override;
    // Hides the vehicle.
    void stop() override;
    // Updates the vehicle tree (and through the seat the rider's hip); the
    // rider's own root is left alone.
    void update(float time, float dt) override;
    // The vehicle animation's latest key time (0 without one).
    float endTime() override;
    void collectSubMeshes(std::vector<SubMesh*>& list) override;
    const char* problem() const override;

    // Whether the rider's hip rides on the seat.
    bool seated() const { return seated_; }

private:
    void setHidden(bool hidden);

    SceneNode* rider_;
    SceneNode* vehicle_;
    Geometry* geometry_;
    bool seated_ = false;
    bool hasHip_ = false;
    float endTime_ = 0.0f;
};
