#pragma once

#include <GL/glew.h>

#include "content/texture.h"

// An off-screen target: a frame buffer object with a depth render buffer of
// its own; colour textures (and optionally a depth texture) are attached by
// the user. Releases its GL objects when destroyed.
class FrameBuffer {
public:
    GLuint framebuffer = 0;
    GLuint colorTexture = 0;  // the texture last attached as a colour target
    GLuint depthRenderbuffer = 0;
    int width = 0;
    int height = 0;
    int depthBits = 0;

    FrameBuffer() = default;
    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;
    ~FrameBuffer();

    // Makes the depth render buffer (width x height) and the frame buffer
    // with it at the depth attachment; leaves frame buffer 0 bound.
    bool create(int width, int height, int depthBits);

    // Binds this frame buffer and attaches the texture at
    // GL_COLOR_ATTACHMENT0 + index. Leaves the frame buffer bound and returns
    // whether it is complete.
    bool attachColor(const Texture& texture, int index = 0);
    bool attachColor(GLuint texture, int index = 0);
    // Binds this frame buffer and puts the depth texture at the depth
    // attachment in place of the own render buffer. Returns completeness.
    bool attachDepth(const DepthTexture& texture);

    void bind() const { glBindFramebuffer(GL_FRAMEBUFFER, framebuffer); }
    static void unbind() { glBindFramebuffer(GL_FRAMEBUFFER, 0); }

private:
    void release();
};

