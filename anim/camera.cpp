#include "anim/camera.h"

sm::Mat4& AnimCamera::viewMatrix(sm::Mat4& out) const {
    out = view;
    return out;
}

float AnimCamera::fov(float time) const {
    float value = fovValue;
    if (fovTrack) fovTrack->evaluate(time, value, 0);
    return value;
}

sm::Vec3& AnimCamera::position(sm::Vec3& out) const {
    out = sm::transformPoint(sm::inverse(view), {0.0f, 0.0f, 0.0f});
    return out;
}

sm::Mat4& ManCam::viewMatrix(sm::Mat4& out) const {
    constexpr float kRadians = 3.14159265358979f / 180.0f;
    out = sm::rotationAxisAngle({0, 0, 1}, roll * kRadians) * sm::rotationAxisAngle({1, 0, 0}, pitch * kRadians) *
          sm::rotationAxisAngle({0, 1, 0}, yaw * kRadians) *
          sm::translation({-positionValue.x, -positionValue.y, -positionValue.z});
    return out;
}
