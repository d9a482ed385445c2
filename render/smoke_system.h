#pragma once

#include <memory>
#include <string>
#include <vector>

#include "math/mat4.h"
#include "render/distort_particle_handler.h"
#include "render/particle_emitter.h"
#include "render/smoke_sources.h"

class ContentManager;
class Geometry;

// The drifting smoke of the set: one area emitter per smoke source, all
// drawn through one distortion particle handler.
class SmokeSystem {
public:
    static constexpr unsigned kEmitterCapacity = 1000;

    // Builds from the content: the geometry "smoke_sources", the program
    // "DistortParticle" (already prepared with a_position at 0) and the
    // texture "smoke". Whatever is missing or unusable is reported in
    // problems and left out; the rest still smokes.
    void build(const ContentManager& content, const ScreenQuad& quad, std::vector<std::string>* problems);
    // The same from given parts; any of them may be null.
    void build(const Geometry* sources, ShaderProgram* program, const Texture* texture, const ScreenQuad* quad,
               std::vector<std::string>* problems);

    // Copies view and projection into every emitter and updates it.
    void update(float dt);
    // Draws every emitter that has particles alive, in order.
    void draw();

    const std::vector<SmokeSource>& sources() const { return sources_; }
    const std::vector<std::unique_ptr<ParticleEmitter>>& emitters() const { return emitters_; }
    const DistortParticleHandler* handler() const { return handler_.get(); }

    sm::Mat4 view;        // copied in by the frame's update
    sm::Mat4 projection;

private:
    std::unique_ptr<DistortParticleHandler> handler_;
    std::vector<SmokeSource> sources_;
    std::vector<std::unique_ptr<ParticleEmitter>> emitters_;
};
