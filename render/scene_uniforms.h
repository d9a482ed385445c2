#pragma once

#include "math/mat4.h"
#include "math/vec.h"

// The per-frame lighting record: written once per frame before any scene
// drawing. The frame writes the main camera's values, the shadow pass the
// shadow camera's.
struct SceneUniforms {
    sm::Mat4 viewProjection;  // main projection x main view
    sm::Vec3 eyePosition{0.0f, 0.0f, 0.0f};
    sm::Vec3 lightPosition{0.0f, 0.0f, 0.0f};
    sm::Vec3 shadowLightPosition{0.0f, 0.0f, 0.0f};
    sm::Mat4 lightView;
    sm::Mat4 lightProjection;
    float biasScale = 0.0f;  // copied from the controller each frame
    float biasClamp = 0.0f;
};
