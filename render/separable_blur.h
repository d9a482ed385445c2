#pragma once

#include <GL/glew.h>

#include <memory>

#include "content/shader_program.h"
#include "content/texture.h"
#include "render/frame_buffer.h"

// A two-pass Gaussian blur: a horizontal pass into an intermediate texture,
// then a vertical pass into the output, both through one frame buffer whose
// colour attachment is swapped between the two. Works at one fixed size (the
// glow's half window size).
class SeparableBlur {
public:
    static constexpr int kIterations = 1;

    SeparableBlur() = default;
    SeparableBlur(const SeparableBlur&) = delete;
    SeparableBlur& operator=(const SeparableBlur&) = delete;
    ~SeparableBlur();

    // Makes the frame buffer, the intermediate and output textures (RGBA,
    // linear, clamped) and the quad, and keeps the two programs (not owned;
    // their attributes must already be bound: a_position 0, a_coords 1).
    // Returns whether the blur can run: both programs present and linked.
    bool create(ShaderProgram* horizontal, ShaderProgram* vertical, int width, int height);

    // Blurs the input into output(). The kernel reads pairs of texels with
    // one linearly filtered fetch, so the input should filter linearly (the
    // glow texture does; a nearest one gives a blockier result). Leaves frame buffer 0 and array buffer 0
    // bound and attribute arrays 0 and 1 disabled. Does nothing when the blur
    // cannot run.
    void run(const Texture& input);

    bool ready() const { return ready_; }
    const Texture* output() const { return outputs_[0].get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    const FrameBuffer& frameBuffer() const { return frameBuffer_; }

private:
    struct Pass {
        ShaderProgram* program = nullptr;
        GLint mvp = -1;
        GLint pixelSize = -1;
        GLint tex = -1;
    };
    void draw(const Pass& pass, float pixelSize, GLuint input) const;

    Pass horizontal_;
    Pass vertical_;
    FrameBuffer frameBuffer_;
    std::unique_ptr<Texture> outputs_[kIterations];
    std::unique_ptr<Texture> intermediate_;
    GLuint quad_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool ready_ = false;
};
