#include "render/particle_emitter.h"

#include "math/runtime_random.h"

namespace {

// A number in [0, 1], both ends reachable.
double random01() { return sm::runtimeRand() / 32767.0; }

}  // namespace

ParticleEmitter::ParticleEmitter(unsigned slots, IParticleHandler& particleHandler)
    : capacity(slots), handler(particleHandler) {
    particles.reserve(capacity);
    for (unsigned i = 0; i < capacity; ++i) particles.push_back(handler.createParticle());
}

void ParticleEmitter::spawn(Particle& p) const {
    if (type == kArea) {
        const double r1 = random01();
        const double r2 = random01();
        p.position = origin + edge1 * static_cast<float>(r1) + edge2 * static_cast<float>(r2);
        p.direction = direction;
    } else {
        p.position = origin;
        sm::Vec3 d = direction;
        d.x = static_cast<float>(d.x + (-spread + random01() * 2.0 * spread));
        d.y = static_cast<float>(d.y + (-spread + random01() * 2.0 * spread));
        d.z = static_cast<float>(d.z + (-spread + random01() * 2.0 * spread));
        p.direction = sm::normalize(d);  // a zero vector stays zero
    }
    p.size = 4.0f;
    p.colour = {1.0f, 1.0f, 1.0f, 1.0f};
    p.age = 0.0f;
    p.life = static_cast<float>(lifeMin + random01() * (lifeMax - lifeMin));
    p.alive = true;
}

void ParticleEmitter::advance(Particle& p, float dt) const {
    // Normalised age; a particle without life time (or a negative one) is at
    // its end rather than at 0 / 0.
    float t = 1.0f;
    if (p.life > 0.0f) {
        if (p.age < 0.0f) p.age = 0.0f;
        if (p.age > p.life) p.age = p.life;
        t = p.age / p.life;
    }
    float s = 0.0f;
    speed.evaluate(t, s, 0);
    p.position = p.position + (drift + p.direction * s) * dt;
    colour.evaluate(t, p.colour, 0);
    size.evaluate(t, p.size, 0);
    p.age += dt;
}

void ParticleEmitter::update(float dt) {
    if (emitting) spawnAccumulator += static_cast<float>(particlesPerSecond) * dt;
    if (activeCount == 0 && spawnAccumulator < 1.0f) return;

    // `handled` counts the alive particles dealt with in this pass, the ones
    // spawned in it included, so the walk ends as soon as every alive
    // particle has been seen and no credit is left.
    unsigned handled = 0;
    for (unsigned i = 0; i < capacity; ++i) {
        if (handled >= activeCount && spawnAccumulator < 1.0f) break;
        Particle& p = *particles[i];
        if (p.alive) {
            if (p.life > p.age) {
                advance(p, dt);
                ++handled;
            } else {
                p.alive = false;
                --activeCount;
            }
        }
        if (emitting && !p.alive && spawnAccumulator >= 1.0f) {
            ++activeCount;
            spawn(p);
            advance(p, dt);
            spawnAccumulator -= 1.0f;
            ++handled;
        }
    }
    handler.setMatrices(view, projection);
}

void ParticleEmitter::draw() {
    handler.begin();
    unsigned drawn = 0;
    for (unsigned i = 0; i < capacity && drawn < activeCount; ++i) {
        const Particle& p = *particles[i];
        if (!p.alive) continue;
        handler.drawParticle(p);
        ++drawn;
    }
    handler.end();
}
