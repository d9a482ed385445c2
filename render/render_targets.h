#pragma once

#include <GL/glew.h>

#include <memory>

#include "content/texture.h"
#include "math/mat4.h"
#include "render/frame_buffer.h"
#include "render/screen_quad.h"

// Orthographic projection of x in [0, w], y in [0, h], z in [-100, 100]:
// one unit per pixel, origin at the bottom left.
sm::Mat4 pixelOrthoMatrix(float width, float height);

// Half of a window side, truncated (1023 gives 511): the size of the glow
// and blur targets.
int halfSize(int side);

// A colour render target: RGBA storage without contents, clamped, one filter
// (GL_NEAREST or GL_LINEAR) for both directions, no mipmaps.
std::unique_ptr<Texture> createRenderTexture(int width, int height, GLint filter);

// The shadow depth pass's target: a depth texture of the window's size and
// an RGBA colour texture, attached to one frame buffer.
struct ShadowTarget {
    std::unique_ptr<DepthTexture> depth;
    std::unique_ptr<Texture> color;
    FrameBuffer frameBuffer;
};

// The targets made at window start-up, after GLEW is initialised, in this
// order: shadow depth texture, shadow colour texture, shadow frame buffer
// (both attached; frame buffer 0 bound afterwards), screen quad. Returns
// whether the shadow target is complete.
bool createStartupTargets(int windowWidth, int windowHeight, ShadowTarget& shadow, ScreenQuad& quad);

