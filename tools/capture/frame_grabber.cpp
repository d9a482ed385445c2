#include "tools/capture/frame_grabber.h"

#include <GL/glew.h>

namespace capture {

FrameGrabber::FrameGrabber(int width, int height)
    : width_(width), height_(height), rgba_(static_cast<std::size_t>(width) * height * 4)
{
    picture_.width = width;
    picture_.height = height;
    picture_.channels = 3;
    picture_.pixels.resize(static_cast<std::size_t>(width) * height * 3);
}

const std::uint8_t* FrameGrabber::grab()
{
    // Leave the show's state as it was found: it may keep a framebuffer
    // bound for reading or a pack alignment of its own.
    GLint readFramebuffer = 0;
    GLint alignment = 4;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba_.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
    return rgba_.data();
}

const pictures::Image& FrameGrabber::picture()
{
    rgbaBottomUpToRgb(rgba_.data(), picture_);
    return picture_;
}

void rgbaBottomUpToRgb(const std::uint8_t* rgba, pictures::Image& out)
{
    const std::size_t w = static_cast<std::size_t>(out.width);
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* src = rgba + (static_cast<std::size_t>(out.height - 1 - y) * w * 4);
        std::uint8_t* dst = out.pixels.data() + static_cast<std::size_t>(y) * w * 3;
        for (std::size_t x = 0; x < w; ++x) {
            dst[x * 3 + 0] = src[x * 4 + 0];
            dst[x * 3 + 1] = src[x * 4 + 1];
            dst[x * 3 + 2] = src[x * 4 + 2];
        }
    }
}

} // namespace capture
