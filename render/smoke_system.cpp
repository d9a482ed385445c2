#include "render/smoke_system.h"

#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "render/program_setup.h"

namespace {

const char* const kSourcesName = "smoke_sources";

// The emitter a smoke source asks for.
void configure(ParticleEmitter& emitter, const SmokeSource& source) {
    emitter.type = ParticleEmitter::kArea;
    emitter.origin = source.corner;
    emitter.edge1 = source.edge1;
    emitter.edge2 = source.edge2;
    emitter.particlesPerSecond = source.particlesPerSecond;
    emitter.lifeMin = source.lifeMin;
    emitter.lifeMax = source.lifeMax;
    emitter.size.appendKey(0.0f, source.sizeStart, false);
    emitter.size.appendKey(1.0f, source.sizeEnd, false);
    emitter.drift = {0.0f, 200.0f, 0.0f};
    emitter.colour.appendKey(0.0f, {1.0f, 1.0f, 1.0f, source.opacityStart}, false);
    emitter.colour.appendKey(1.0f, {1.0f, 1.0f, 1.0f, source.opacityEnd}, false);
    emitter.speed.appendKey(0.0f, source.speedStart, false);
    emitter.speed.appendKey(1.0f, source.speedEnd, false);
    sm::Vec3 direction = source.normal;
    emitter.direction = sm::normalize(direction);
    emitter.spread = 0.1f;
}

}  // namespace

void SmokeSystem::build(const ContentManager& content, const ScreenQuad& quad, std::vector<std::string>* problems) {
    const Geometry* sources = content.findGeometry(kSourcesName);
    if (!sources) reportProblem(problems, std::string("no geometry \"") + kSourcesName + "\": no drifting smoke");
    ShaderProgram* program = content.findProgram("DistortParticle");
    if (program && !isLinked(program->program)) program = nullptr;
    const Texture* texture = content.findTexture("smoke");
    if (!texture) reportProblem(problems, "no texture \"smoke\": the smoke is not drawn");
    build(sources, program, texture, &quad, problems);
}

void SmokeSystem::build(const Geometry* geometry, ShaderProgram* program, const Texture* texture,
                        const ScreenQuad* quad, std::vector<std::string>* problems) {
    emitters_.clear();
    sources_.clear();
    handler_ = std::make_unique<DistortParticleHandler>(program, texture, quad);
    if (!geometry) return;
    sources_ = readSmokeSources(*geometry, kSourcesName, problems);
    emitters_.reserve(sources_.size());
    for (const SmokeSource& source : sources_) {
        auto emitter = std::make_unique<ParticleEmitter>(kEmitterCapacity, *handler_);
        configure(*emitter, source);
        emitters_.push_back(std::move(emitter));
    }
}

void SmokeSystem::update(float dt) {
    for (const auto& emitter : emitters_) {
        emitter->view = view;
        emitter->projection = projection;
        emitter->update(dt);
    }
}

void SmokeSystem::draw() {
    for (const auto& emitter : emitters_)
        if (emitter->activeCount != 0) emitter->draw();
}
