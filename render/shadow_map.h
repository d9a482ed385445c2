#pragma once

#include "math/mat4.h"
#include "math/vec.h"

class ICamera;

// The shadow camera's matrices for the frame: its view matrix, and the
// perspective of its horizontal field of view at `time` for the window's
// aspect (width / height) between its near and far planes.
void updateShadowCamera(const ICamera& camera, float time, float aspect, sm::Mat4& lightView,
                        sm::Mat4& lightProjection);

// Where the shadow camera stands in the world: the inverse view applied to
// the origin.
sm::Vec3 shadowLightPosition(const sm::Mat4& lightView);
