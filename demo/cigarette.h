#pragma once

#include <memory>

#include "anim/simple_anim.h"
#include "math/mat4.h"
#include "render/distort_particle_handler.h"
#include "render/particle_emitter.h"

class ContentManager;
class Mesh;
class ScreenQuad;

// The robot's electronic cigarette ("epapieros"): a prop moved by its
// animation, with two smoke emitters drawn through one distortion particle
// handler. Emitter A puffs steadily from the tip ("dym_papierosa") and
// follows it; emitter B blows a fast jet from the head ("glowa") towards its
// target ("glowa_trg") from where they stood at time 0, and is only seen
// during the big exhale, though it keeps simulating the whole show.
class Cigarette : public SimpleAnim {
public:
    static constexpr unsigned kCapacity = 100;
    // Emitter B is drawn while kJetFrom < t < kJetUntil (loop time, seconds).
    static constexpr float kJetFrom = 100.37854f;
    static constexpr float kJetUntil = 106.37854f;

    // Looks up the program "DistortParticle" (already prepared with
    // a_position at 0) and the texture "smoke"; quad is not owned. The
    // prop shows from the first update after time 0.
    Cigarette(const ContentManager& content, SceneNode* root, Geometry* geometry, const ScreenQuad* quad);

    // The main camera's matrices the particles face (owned by the caller,
    // read at every update).
    void setCamera(const sm::Mat4* view, const sm::Mat4* projection) {
        view_ = view;
        projection_ = projection;
    }

    void update(float time, float dt) override;
    // Draws emitter A, and emitter B inside its window; t is the loop time.
    void drawSmoke(float t);
    void problems(std::vector<std::string>& out) const override;

    static bool jetShows(float t) { return kJetFrom < t && t < kJetUntil; }

    const ParticleEmitter& tipSmoke() const { return *tip_; }
    const ParticleEmitter& jet() const { return *jet_; }
    const DistortParticleHandler& handler() const { return handler_; }

private:
    Mesh* tipMesh_ = nullptr;    // "dym_papierosa"
    Mesh* headMesh_ = nullptr;   // "glowa"
    Mesh* targetMesh_ = nullptr; // "glowa_trg"
    bool hasProgram_ = false;
    bool hasTexture_ = false;
    DistortParticleHandler handler_;
    std::unique_ptr<ParticleEmitter> tip_;  // A
    std::unique_ptr<ParticleEmitter> jet_;  // B
    const sm::Mat4* view_ = nullptr;
    const sm::Mat4* projection_ = nullptr;
};
