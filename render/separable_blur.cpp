#include "render/separable_blur.h"

#include "render/render_targets.h"

SeparableBlur::~SeparableBlur() {
    if (quad_ != 0) glDeleteBuffers(1, &quad_);
}

bool SeparableBlur::create(ShaderProgram* horizontal, ShaderProgram* vertical, int width, int height) {
    width_ = width;
    height_ = height;
    frameBuffer_.create(width, height, 32);
    for (auto& output : outputs_) output = createRenderTexture(width, height, GL_LINEAR);
    intermediate_ = createRenderTexture(width, height, GL_LINEAR);

    // (x, y, u, v) per corner, in pixels, in triangle-strip order.
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float corners[16] = {0.0f, h, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, w, h, 1.0f, 1.0f, w, 0.0f, 1.0f, 0.0f};
    if (quad_ == 0) glGenBuffers(1, &quad_);
    glBindBuffer(GL_ARRAY_BUFFER, quad_);
    glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    const auto pass = [](ShaderProgram* program) {
        Pass p;
        if (!program || !isLinked(program->program)) return p;
        p.program = program;
        p.mvp = program->uniformLocation("u_mvp");
        p.pixelSize = program->uniformLocation("u_pixelSize");
        p.tex = program->uniformLocation("u_tex");
        return p;
    };
    horizontal_ = pass(horizontal);
    vertical_ = pass(vertical);
    ready_ = horizontal_.program && vertical_.program && intermediate_ && outputs_[0] && width > 0 && height > 0;
    return ready_;
}

void SeparableBlur::draw(const Pass& pass, float pixelSize, GLuint input) const {
    glUseProgram(pass.program->program);
    ShaderProgram::setMat4(pass.mvp, pixelOrthoMatrix(static_cast<float>(width_), static_cast<float>(height_)));
    glUniform1f(pass.pixelSize, pixelSize);
    ShaderProgram::setTexture(pass.tex, 0, input);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void SeparableBlur::run(const Texture& input) {
    if (!ready_) return;
    glBindBuffer(GL_ARRAY_BUFFER, quad_);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<const void*>(8));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    for (GLuint slot = 2; slot <= 4; ++slot) glDisableVertexAttribArray(slot);

    frameBuffer_.bind();
    glDepthMask(GL_FALSE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glViewport(0, 0, width_, height_);

    GLuint source = input.name;
    for (auto& output : outputs_) {
        frameBuffer_.attachColor(*intermediate_, 0);
        draw(horizontal_, 1.0f / static_cast<float>(width_), source);
        frameBuffer_.attachColor(*output, 0);
        draw(vertical_, 1.0f / static_cast<float>(height_), intermediate_->name);
        source = output->name;
    }

    FrameBuffer::unbind();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
}
