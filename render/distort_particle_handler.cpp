#include "render/distort_particle_handler.h"

DistortParticleHandler::DistortParticleHandler(ShaderProgram* program, const Texture* texture, const ScreenQuad* quad)
    : program_(program), texture_(texture), quad_(quad) {
    if (!program_) return;
    modelViewLocation_ = program_->uniformLocation("u_modelViewMatrix");
    projectionLocation_ = program_->uniformLocation("u_projMatrix");
    positionLocation_ = program_->uniformLocation("u_particlePosition");
    colorLocation_ = program_->uniformLocation("u_color");
    textureLocation_ = program_->uniformLocation("u_particleTex");
}

std::unique_ptr<Particle> DistortParticleHandler::createParticle() { return std::make_unique<Particle>(); }

void DistortParticleHandler::begin() {
    if (!canDraw()) return;
    glUseProgram(program_->program);
    ShaderProgram::setTexture(textureLocation_, 0, texture_->name);
    ShaderProgram::setMat4(modelViewLocation_, modelViewMatrix);
    ShaderProgram::setMat4(projectionLocation_, projectionMatrix);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    quad_->bind();
}

void DistortParticleHandler::drawParticle(const Particle& particle) {
    if (!canDraw()) return;
    ShaderProgram::setVec4(positionLocation_,
                           {particle.position.x, particle.position.y, particle.position.z, particle.size});
    ShaderProgram::setVec4(colorLocation_, particle.colour);
    ScreenQuad::draw();
}

void DistortParticleHandler::end() {
    if (!canDraw()) return;
    ScreenQuad::unbind();
}

void DistortParticleHandler::setMatrices(const sm::Mat4& modelView, const sm::Mat4& projection) {
    modelViewMatrix = modelView;
    projectionMatrix = projection;
}
