#pragma once

#include <GL/glew.h>

// The unit square centred on the origin as a static vertex buffer of four
// 2-float corners in triangle-strip order: (-0.5, 0.5), (-0.5, -0.5),
// (0.5, 0.5), (0.5, -0.5). Releases its buffer when destroyed.
class ScreenQuad {
public:
    GLuint buffer = 0;

    ScreenQuad() = default;
    ScreenQuad(const ScreenQuad&) = delete;
    ScreenQuad& operator=(const ScreenQuad&) = delete;
    ~ScreenQuad();

    bool create();
    // Binds the buffer as attribute 0 (2 floats) with array 0 enabled and
    // arrays 1 to 4 disabled.
    void bind() const;
    // Disables array 0 and unbinds the buffer.
    static void unbind();
    // glDrawArrays(GL_TRIANGLE_STRIP, 0, 4).
    static void draw();
};

