#pragma once

#include "anim/game_object.h"

class ContentManager;
class Geometry;

// The wall fan: every mesh spins about its hub's x axis at 4 radians per
// second, drawn with F⁻¹·Rx(angle)·F (F, the mesh's file transform, maps the
// world to the hub's frame), until 150 s; from then on it stands still in
// the pose of its file (identity render matrices).
class Fan : public GameObject {
public:
    static constexpr float kStopTime = 150.0f;
    static constexpr float kSpinRate = 4.0f;  // radians per second

    explicit Fan(const ContentManager& content);

    // Looks the geometry "fan" up; the angle starts at 0.
    void init() override;
    void update(float time, float dt) override;
    const std::vector<SubMesh*>& submeshes() const override;
    void problems(std::vector<std::string>& out) const override;

    float angle() const { return angle_; }

private:
    const ContentManager& content_;
    Geometry* geometry_ = nullptr;
    float angle_ = 0.0f;
};
