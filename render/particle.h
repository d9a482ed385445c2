#pragma once

#include <memory>

#include "math/mat4.h"
#include "math/vec.h"

// One particle slot. Spawning and dying only flip `alive`; the slot itself
// lives as long as its emitter.
class Particle {
public:
    virtual ~Particle() = default;

    bool alive = false;
    float size = 0.0f;  // sent as the w component of the particle position
    sm::Vec3 position;
    sm::Vec4 colour;
    sm::Vec3 direction;  // unit direction of travel chosen at spawn
    float life = 0.0f;   // total life time in seconds
    float age = 0.0f;    // seconds since spawn
};

// How an emitter's particles are drawn.
class IParticleHandler {
public:
    virtual ~IParticleHandler() = default;
    // A new, dead particle for one of an emitter's slots.
    virtual std::unique_ptr<Particle> createParticle() = 0;
    virtual void begin() {}
    virtual void drawParticle(const Particle& particle) = 0;
    virtual void end() {}
    virtual void setMatrices(const sm::Mat4& modelView, const sm::Mat4& projection) = 0;
};
