#pragma once

#include <memory>
#include <vector>

#include "anim/core/linear_interpolator.h"
#include "math/mat4.h"
#include "math/vec.h"
#include "render/particle.h"

// A fixed pool of particles that spawns at a steady rate, moves them along
// their direction plus a constant drift, and shapes speed, colour and size
// over each particle's life (curves keyed on age / life, 0 to 1). Every slot
// is made at creation; updating and drawing allocate nothing.
class ParticleEmitter {
public:
    enum Type { kPoint = 0, kArea = 1 };

    // Fills every slot with a dead particle from the handler (shared, not
    // owned; it must outlive the emitter).
    ParticleEmitter(unsigned capacity, IParticleHandler& handler);
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // Ages, moves and retires particles, spawns the ones owed (at most one
    // per slot per update; spare credit carries over), then hands view and
    // projection to the handler. An emitter with nothing alive and less than
    // one particle owed returns at once without touching the handler.
    void update(float dt);
    // Draws the alive particles in slot order between the handler's begin and
    // end. Callers skip an emitter whose activeCount is 0.
    void draw();

    // Puts a particle at the spawn point with a fresh life (random numbers
    // from the process-wide stream).
    void spawn(Particle& particle) const;
    // Moves a particle by dt and reshapes it for its new age.
    void advance(Particle& particle, float dt) const;

    int type = kPoint;  // kPoint: from origin, direction spread per axis; kArea: anywhere on origin + edges
    sm::Mat4 view;
    sm::Mat4 projection;
    const unsigned capacity;
    unsigned activeCount = 0;
    IParticleHandler& handler;
    bool emitting = true;
    sm::Vec3 origin;
    sm::Vec3 direction;
    float spread = 1.0f;
    unsigned particlesPerSecond = 10;
    sm::Vec3 edge1;
    sm::Vec3 edge2;
    float lifeMin = 0.0f;
    float lifeMax = 0.0f;
    LinearInterpolator<float> speed;
    LinearInterpolator<sm::Vec4> colour;
    LinearInterpolator<float> size;
    float spawnAccumulator = 0.0f;  // particles owed, fractions included
    sm::Vec3 drift;
    std::vector<std::unique_ptr<Particle>> particles;
};
