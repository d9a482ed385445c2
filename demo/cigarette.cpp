#include "demo/cigarette.h"

#include "anim/core/scene_node.h"
#include "content/content_manager.h"
#include "content/geometry/geometry.h"
#include "content/shader_program.h"

namespace {

// The particle program as the particles need it: linked (a program that
// failed its relink draws nothing rather than raising GL errors each frame).
ShaderProgram* particleProgram(const ContentManager& content) {
    ShaderProgram* program = content.findProgram("DistortParticle");
    return program && isLinked(program->program) ? program : nullptr;
}

sm::Vec3 positionOf(const Mesh* mesh) {
    return mesh ? sm::transformPoint(mesh->nodeMatrixValue, {0.0f, 0.0f, 0.0f}) : sm::Vec3{0.0f, 0.0f, 0.0f};
}

// Both emitters fade from half-opaque white to nothing over a life.
void fadeOut(ParticleEmitter& emitter) {
    emitter.colour.appendKey(0.0f, {1.0f, 1.0f, 1.0f, 0.5f}, false);
    emitter.colour.appendKey(1.0f, {1.0f, 1.0f, 1.0f, 0.0f}, false);
}

}  // namespace

Cigarette::Cigarette(const ContentManager& content, SceneNode* root, Geometry* geometry, const ScreenQuad* quad)
    : SimpleAnim(root, geometry, 0.0f, "epapieros"),
      handler_(particleProgram(content), content.findTexture("smoke"), quad) {
    hasProgram_ = particleProgram(content) != nullptr;
    hasTexture_ = content.findTexture("smoke") != nullptr;
    if (geometry_) {
        tipMesh_ = geometry_->findMesh("dym_papierosa");
        headMesh_ = geometry_->findMesh("glowa");
        targetMesh_ = geometry_->findMesh("glowa_trg");
    }
    // Where the meshes stand at time 0: the jet's origin and direction.
    if (root_) root_->updateNode(0.0f, 0.0f, sm::identityMatrix());

    tip_ = std::make_unique<ParticleEmitter>(kCapacity, handler_);
    tip_->type = ParticleEmitter::kPoint;
    tip_->particlesPerSecond = 20;
    tip_->lifeMin = 0.5f;
    tip_->lifeMax = 1.0f;
    tip_->size.appendKey(0.0f, 4.0f, false);
    tip_->size.appendKey(1.0f, 50.0f, false);
    tip_->drift = {0.0f, 50.0f, 0.0f};
    fadeOut(*tip_);
    tip_->speed.appendKey(0.0f, 0.0f, false);
    tip_->speed.appendKey(1.0f, 0.0f, false);
    tip_->direction = {0.0f, 1.0f, 0.0f};
    tip_->spread = 0.6f;

    jet_ = std::make_unique<ParticleEmitter>(kCapacity, handler_);
    jet_->type = ParticleEmitter::kPoint;
    jet_->particlesPerSecond = 20;
    jet_->lifeMin = 1.0f;
    jet_->lifeMax = 2.0f;
    jet_->size.appendKey(0.0f, 20.0f, false);
    jet_->size.appendKey(1.0f, 100.0f, false);
    jet_->drift = {0.0f, 100.0f, 0.0f};
    fadeOut(*jet_);
    jet_->speed.appendKey(0.0f, 200.0f, false);
    jet_->speed.appendKey(1.0f, 0.0f, false);
    sm::Vec3 direction = positionOf(targetMesh_) - positionOf(headMesh_);
    jet_->direction = sm::normalize(direction);  // (0, 0, 0) where the two coincide
    jet_->spread = 0.2f;
    jet_->origin = positionOf(headMesh_);

    if (geometry_)
        for (const auto& mesh : geometry_->meshes) mesh->castShadows = true;
    // Smoke needs the meshes it comes from: without them an emitter is left
    // out rather than puffing at the world's origin.
    tip_->emitting = usable() && tipMesh_;
    jet_->emitting = usable() && headMesh_ && targetMesh_;
}

void Cigarette::update(float time, float dt) {
    SimpleAnim::update(time, dt);
    if (!usable()) return;
    if (view_ && projection_) {
        tip_->view = *view_;
        tip_->projection = *projection_;
        jet_->view = *view_;
        jet_->projection = *projection_;
    }
    if (tipMesh_) tip_->origin = positionOf(tipMesh_);
    tip_->update(dt);
    jet_->update(dt);
}

void Cigarette::drawSmoke(float t) {
    if (tip_->activeCount > 0) tip_->draw();
    if (jetShows(t) && jet_->activeCount > 0) jet_->draw();
}

void Cigarette::problems(std::vector<std::string>& out) const {
    SimpleAnim::problems(out);
    if (geometry_) {
        if (!tipMesh_) out.push_back("no mesh \"dym_papierosa\" in \"epapieros\": the cigarette does not smoke");
        if (!headMesh_ || !targetMesh_)
            out.push_back("no mesh \"glowa\" or \"glowa_trg\" in \"epapieros\": the exhaled smoke is left out");
    }
    if (!hasProgram_) out.push_back("no usable program \"DistortParticle\": the cigarette's smoke is not drawn");
    if (!hasTexture_) out.push_back("no texture \"smoke\": the cigarette's smoke is not drawn");
}
