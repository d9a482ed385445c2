#pragma once

#include "anim/core/tcb_interpolator.h"
#include "anim/core/transformable.h"
#include "math/mat4.h"
#include "math/vec.h"

#include <cstdint>
#include <memory>
#include <string>

// What the frame needs from a camera: view matrix, horizontal field of view,
// eye position and the clip planes.
class ICamera {
public:
    virtual ~ICamera() = default;

    // Fills out with the view matrix and returns it.
    virtual sm::Mat4& viewMatrix(sm::Mat4& out) const = 0;
    // Horizontal field of view in radians at time (seconds).
    virtual float fov(float time) const = 0;
    // Fills out with the eye position in world space and returns it.
    virtual sm::Vec3& position(sm::Vec3& out) const = 0;
    virtual float nearPlane() const { return 0.1f; }
    virtual float farPlane() const { return 100.0f; }
};

// A camera of a camera list, moved by the scene node with its id: the node
// writes the view matrix through renderMatrix.
class AnimCamera : public ITransformable, public ICamera {
public:
    std::int32_t cameraId = 0;
    std::string name;
    sm::Mat4 view;
    sm::Mat4 spare;
    float fovValue = 0.0f;
    float auxValue = 0.0f;  // a second parameter stored with every camera; nothing reads it
    float nearValue = 0.0f;
    float farValue = 0.0f;
    std::unique_ptr<TCBInterpolator<float>> fovTrack;
    std::unique_ptr<TCBInterpolator<float>> auxTrack;
    float endTime = 0.0f;  // latest key time of the camera's node

    bool isCamera() const override { return true; }
    int id() const override { return cameraId; }
    sm::Mat4& renderMatrix() override { return view; }
    sm::Mat4& nodeMatrix() override { return spare; }
    const sm::Mat4& modelMatrix() const override { return spare; }

    sm::Mat4& viewMatrix(sm::Mat4& out) const override;
    // The fov track at time (fovValue when the track is missing or empty).
    float fov(float time) const override;
    sm::Vec3& position(sm::Vec3& out) const override;
    float nearPlane() const override { return nearValue; }
    float farPlane() const override { return farValue; }
};

// A fixed camera placed by hand: angles in degrees.
class ManCam : public ICamera {
public:
    float roll = 0.0f;
    float yaw = 0.0f;
    float pitch = 0.0f;
    sm::Vec3 positionValue{-4862.0f, 0.0f, 0.0f};

    // Rz(roll) · Rx(pitch) · Ry(yaw) · translation(-position).
    sm::Mat4& viewMatrix(sm::Mat4& out) const override;
    float fov(float) const override { return 1.0471976f; }
    sm::Vec3& position(sm::Vec3& out) const override {
        out = positionValue;
        return out;
    }
    float nearPlane() const override { return 100.0f; }
    float farPlane() const override { return 12000.0f; }
};
