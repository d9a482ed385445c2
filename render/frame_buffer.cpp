#include "render/frame_buffer.h"

FrameBuffer::~FrameBuffer() { release(); }

void FrameBuffer::release() {
    if (depthRenderbuffer != 0) glDeleteRenderbuffers(1, &depthRenderbuffer);
    if (framebuffer != 0) glDeleteFramebuffers(1, &framebuffer);
    depthRenderbuffer = 0;
    framebuffer = 0;
    colorTexture = 0;
}

bool FrameBuffer::create(int w, int h, int bits) {
    release();
    width = w;
    height = h;
    depthBits = bits;
    glGenRenderbuffers(1, &depthRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthRenderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthRenderbuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

bool FrameBuffer::attachColor(const Texture& texture, int index) { return attachColor(texture.name, index); }

bool FrameBuffer::attachColor(GLuint texture, int index) {
    bind();
    colorTexture = texture;
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(index), GL_TEXTURE_2D, texture,
                           0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool FrameBuffer::attachDepth(const DepthTexture& texture) {
    bind();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture.name, 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

