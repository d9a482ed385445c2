#pragma once

#include <GL/glew.h>

#include "content/shader_program.h"
#include "content/texture.h"
#include "render/particle.h"
#include "render/screen_quad.h"

// Draws particles as camera-facing textured squares with the
// "DistortParticle" program, which writes the tinted smoke into colour
// attachment 0 and its screen-space bend into attachment 1. Without its
// program or texture it draws nothing (the particles still move).
class DistortParticleHandler : public IParticleHandler {
public:
    // The program must have a_position bound to 0 and be linked already
    // (prepareProgram); program, texture and quad are not owned.
    DistortParticleHandler(ShaderProgram* program, const Texture* texture, const ScreenQuad* quad);

    std::unique_ptr<Particle> createParticle() override;
    // Program, texture on unit 0, both matrices; depth test on, depth writes
    // off, alpha blending; the screen quad bound.
    void begin() override;
    void drawParticle(const Particle& particle) override;
    void end() override;
    void setMatrices(const sm::Mat4& modelView, const sm::Mat4& projection) override;

    bool canDraw() const { return program_ && texture_ && quad_; }

    sm::Mat4 modelViewMatrix;   // as last set
    sm::Mat4 projectionMatrix;  // as last set

private:
    ShaderProgram* program_;
    const Texture* texture_;
    const ScreenQuad* quad_;
    GLint modelViewLocation_ = -1;
    GLint projectionLocation_ = -1;
    GLint positionLocation_ = -1;
    GLint colorLocation_ = -1;
    GLint textureLocation_ = -1;
};
