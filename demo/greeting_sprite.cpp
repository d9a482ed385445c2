#include "content/shader_program.h"
#include "content/texture.h"
#include "demo/credits_dance.h"
#include "render/screen_quad.h"

const Texture* CreditsDance::currentGreeting() const {
    if (greetingIndex_ < 0 || greetingIndex_ >= kGreetings) return nullptr;
    return greetings_[static_cast<std::size_t>(greetingIndex_)];
}

sm::Mat4 CreditsDance::greetingModel() const {
    const Texture* texture = currentGreeting();
    if (!texture || texture->width <= 0) return sm::identityMatrix();
    // Columns: along the hand's travel, up, and the side it faces.
    sm::Vec3 along = sm::cross(spriteUp_, spriteSide_);
    sm::normalize(along);
    sm::Mat4 frame;
    frame.a[0] = along.x;
    frame.a[1] = along.y;
    frame.a[2] = along.z;
    frame.a[4] = spriteUp_.x;
    frame.a[5] = spriteUp_.y;
    frame.a[6] = spriteUp_.z;
    frame.a[8] = spriteSide_.x;
    frame.a[9] = spriteSide_.y;
    frame.a[10] = spriteSide_.z;
    const float height = spriteWidth_ * static_cast<float>(texture->height) / static_cast<float>(texture->width);
    return sm::translation(spritePosition_) * frame * sm::scaling({spriteWidth_, height, 1.0f}) *
           sm::translation({0.0f, -0.5f, 0.0f});
}

void CreditsDance::drawGreeting(const ScreenQuad& quad, const sm::Mat4& viewProjection) const {
    const Texture* texture = currentGreeting();
    if (!texture || texture->width <= 0 || !programLinks_ || !(spriteWidth_ > 0.0f)) return;
    quad.bind();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glUseProgram(program_->program);
    ShaderProgram::setMat4(mvpLocation_, viewProjection * greetingModel());
    ShaderProgram::setTexture(textureLocation_, 0, texture->name);
    glUniform1f(progressLocation_, progress_);
    ScreenQuad::draw();
    ScreenQuad::unbind();
}
