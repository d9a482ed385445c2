#include "render/screen_quad.h"

namespace {

constexpr float kCorners[8] = {-0.5f, 0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f, -0.5f};

}  // namespace

ScreenQuad::~ScreenQuad() {
    if (buffer != 0) glDeleteBuffers(1, &buffer);
}

bool ScreenQuad::create() {
    if (buffer == 0) glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kCorners), kCorners, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return buffer != 0;
}

void ScreenQuad::bind() const {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 8, nullptr);
    glEnableVertexAttribArray(0);
    for (GLuint slot = 1; slot <= 4; ++slot) glDisableVertexAttribArray(slot);
}

void ScreenQuad::unbind() {
    glDisableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ScreenQuad::draw() { glDrawArrays(GL_TRIANGLE_STRIP, 0, 4); }

