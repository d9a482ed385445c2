#pragma once
// Reads finished frames back from the window's framebuffer. The buffers are
// made once, so reading a frame allocates nothing.
#include "tools/pictures/canvas.h"

#include <cstdint>
#include <vector>

namespace capture {

class FrameGrabber {
public:
    FrameGrabber(int width, int height);

    // Reads the default framebuffer: RGBA rows bottom to top, as GL keeps
    // them. The pointer stays valid until the next grab.
    const std::uint8_t* grab();
    // The last grab as an RGB picture, rows top to bottom.
    const pictures::Image& picture();

    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> rgba_;
    pictures::Image picture_;
};

// Copies bottom-up RGBA rows into a top-down RGB picture of the same size.
void rgbaBottomUpToRgb(const std::uint8_t* rgba, pictures::Image& out);

} // namespace capture
