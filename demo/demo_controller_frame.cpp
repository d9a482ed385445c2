// One frame of the show: the timeline's update (music clock, scene clock,
// camera cuts, objects, matrices) and the passes that draw and present it.
// Nothing here allocates or looks anything up by name.
#include <GL/glew.h>

#include "anim/core/scene_node.h"
#include "content/sprite_renderer.h"
#include "demo/cigarette.h"
#include "demo/credits_dance.h"
#include "demo/demo_controller.h"
#include "demo/music_clock.h"
#include "render/dream_overlay.h"
#include "render/glow_pass.h"
#include "render/post_processing.h"
#include "render/shadow_map.h"
#include "render/smoke_system.h"

bool DemoController::update(float timeMs, float deltaMs) {
    if (!loaded_) return true;
    // The music's position is the timeline's time from here on.
    if (music_) timeMs = music_->update(timeMs);
    tools_.setToolClock(timeMs);
    const float t = timeMs / 1000.0f;
    const float dt = deltaMs / 1000.0f;
    timelineTime_ = t;

    // The scene runs on the credits' dance clock, which slows down during
    // the greetings; only the very first frame takes the music's time.
    if (firstUpdate_) {
        firstUpdate_ = false;
        sceneClock_ = t;
    } else {
        sceneClock_ = credits_->localTime();
    }

    if (mainRoot_) mainRoot_->updateNode(sceneClock_, dt, sm::identityMatrix());
    mainCamera_ = mainCameras_.cut(t);
    if (shadowRoot_) shadowRoot_->updateNode(t, dt, sm::identityMatrix());
    shadowCamera_ = shadowCameras_.cut(t);

    post_->dream()->advance(t, dt);

    // Without a camera the matrices stay as they were: the frame is still
    // drawn and presented.
    const float aspect = static_cast<float>(width_) / static_cast<float>(height_);
    if (mainCamera_) {
        mainCamera_->viewMatrix(mainView_);
        mainProjection_ = sm::perspectiveFovX(mainCamera_->fov(t), aspect, mainCamera_->nearPlane(),
                                              mainCamera_->farPlane());
    }
    if (shadowCamera_) updateShadowCamera(*shadowCamera_, t, aspect, shadowView_, shadowProjection_);

    for (GameObject* object : objectOrder_) object->update(sceneClock_, dt);

    mainViewProjection_ = mainProjection_ * mainView_;
    smoke_->view = mainView_;
    smoke_->projection = mainProjection_;
    smoke_->update(dt);
    return true;
}

bool DemoController::render(float timeMs, float deltaMs) {
    advanceFrame(timeMs, deltaMs);
    draw();
    return true;
}

void DemoController::advanceFrame(float timeMs, float deltaMs) {
    if (!loaded_) return;
    // Everything drawn runs on the loop time.
    frameTime_ = timeMs / 1000.0f;
    endPictureShows_ = endFade_.advance(frameTime_, deltaMs / 1000.0f);
}

void DemoController::draw() {
    if (!loaded_) return;
    const float t = frameTime_;

    programs_.uniforms.biasScale = biasScale_;
    programs_.uniforms.biasClamp = biasClamp_;
    programs_.renderShadowMap(classes_.shadowCasters, *shadow_, shadowView_, shadowProjection_);
    passDone(FramePass::Shadow);

    // The scene into the scene target: colour in attachment 0, the smoke's
    // bend in attachment 1.
    post_->beginScene();
    if (shadowCamera_) shadowCamera_->viewMatrix(shadowView_);
    if (mainCamera_) mainCamera_->position(eyePosition_);
    programs_.uniforms.viewProjection = mainViewProjection_;
    programs_.uniforms.eyePosition = eyePosition_;
    programs_.uniforms.lightPosition = eyePosition_;  // the light rides with the viewer
    programs_.uniforms.shadowLightPosition = shadowLightPosition(shadowView_);

    // The greeting hangs in the air in front of the set: drawn before the
    // opaque submeshes, without writing depth, it would be painted over by
    // whatever stands behind it. It goes between the opaque and the
    // transparent ones, as in the glow pass.
    post_->drawToSceneColour();
    const bool depthFirst = depthPrepass_ && programs_.drawSubmeshesDepth(sceneOpaque_);
    if (depthFirst) glDepthFunc(GL_EQUAL);
    programs_.drawSubmeshesShadowed(sceneOpaque_, *shadow_->depth);
    if (depthFirst) glDepthFunc(GL_LEQUAL);
    if (credits_->greetingActive()) credits_->drawGreeting(*quad_, mainViewProjection_);
    programs_.drawSubmeshesShadowed(sceneTransparent_, *shadow_->depth);
    passDone(FramePass::Scene);

    post_->drawToSceneColourAndDistortion();
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    smoke_->draw();
    cigarette_->drawSmoke(t);
    passDone(FramePass::Smoke);

    // Onto the window: the bent scene, the glow, then the overlays.
    post_->compositeDistortion(sprites_.get());
    passDone(FramePass::Distortion);
    renderGlow(*post_, programs_, classes_);
    post_->compositeGlow(*sprites_);
    passDone(FramePass::Glow);
    post_->dream()->draw(t);

    const float black = flicker_.at(t);
    if (black != 0.0f) drawOverlay(blackTexture_, black);
    if (endPictureShows_) drawOverlay(endTexture_, endFade_.alpha());
    passDone(FramePass::Overlays);

    present();
    passDone(FramePass::Present);
}

void DemoController::drawOverlay(const Texture* texture, float alpha) {
    glViewport(0, 0, width_, height_);
    sprites_->begin();
    sprites_->drawTinted(texture, {1.0f, 1.0f, 1.0f, alpha}, width_, height_);
    sprites_->end();
}
