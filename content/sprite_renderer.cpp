#include "content/sprite_renderer.h"

namespace {

constexpr float kQuadCoords[8] = {0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f};

}  // namespace

SpriteRenderer::SpriteRenderer(ShaderProgram* program, const sm::Mat4& mvp) : program_(program), mvp_(mvp) {
    if (!program_) return;
    program_->bindAttributes({{"a_position", 0}, {"a_coords", 1}});
    findLocations();
}

void SpriteRenderer::findLocations() {
    mvpLocation_ = program_->uniformLocation("u_mvp");
    texLocation_ = program_->uniformLocation("u_tex");
    colorLocation_ = program_->uniformLocation("u_color");
    relinksSeen_ = program_->relinks;
}

void SpriteRenderer::begin() {
    if (!program_) return;
    if (program_->relinks != relinksSeen_) findLocations();
    glUseProgram(program_->program);
    ShaderProgram::setMat4(mvpLocation_, mvp_);
    ShaderProgram::setVec4(colorLocation_, {1.0f, 1.0f, 1.0f, 1.0f});
    depthWasEnabled_ = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    blendWasEnabled_ = glIsEnabled(GL_BLEND) == GL_TRUE;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (depthWasEnabled_) glDisable(GL_DEPTH_TEST);
    if (!blendWasEnabled_) glEnable(GL_BLEND);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    for (GLuint slot = 2; slot <= 5; ++slot) glDisableVertexAttribArray(slot);
}

void SpriteRenderer::draw(const Texture* texture, int width, int height) {
    drawTinted(texture, {1.0f, 1.0f, 1.0f, 1.0f}, width, height);
}

void SpriteRenderer::drawTinted(const Texture* texture, sm::Vec4 colour, int width, int height) {
    if (!texture) return;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    drawQuad(texture->name, {0.0f, h, 0.0f, 0.0f, w, h, w, 0.0f}, colour);
}

void SpriteRenderer::drawQuad(GLuint texture, const std::array<float, 8>& corners, sm::Vec4 colour) {
    if (!program_) return;
    ShaderProgram::setTexture(texLocation_, 0, texture);
    ShaderProgram::setVec4(colorLocation_, colour);
    // The corners come from client memory: no vertex buffer may be bound.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, corners.data());
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, kQuadCoords);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void SpriteRenderer::end() {
    if (!program_) return;
    if (depthWasEnabled_) glEnable(GL_DEPTH_TEST);
    if (!blendWasEnabled_) glDisable(GL_BLEND);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
}

