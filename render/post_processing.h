#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>
#include <vector>

#include "content/shader_program.h"
#include "content/sprite_renderer.h"
#include "content/texture.h"
#include "render/dream_overlay.h"
#include "render/frame_buffer.h"
#include "render/greeting_sprite.h"
#include "render/screen_quad.h"
#include "render/separable_blur.h"

class ContentManager;

// The full-screen end of the frame and what it draws into: the scene target
// (scene colour in attachment 0, the smoke's bend in attachment 1), the
// distortion composite onto the window, the half-size glow target with its
// blur and additive composite, and the dream overlay.
//
// A pass whose program is missing or does not link is left out (reported
// once by create / prepareDistortion): without "HoriBlur" or "VertBlur"
// there is no glow; without "Distortion" the scene is shown unbent.
class PostProcessing {
public:
    PostProcessing() = default;
    PostProcessing(const PostProcessing&) = delete;
    PostProcessing& operator=(const PostProcessing&) = delete;

    // Creates, in this order: the glow texture (half size, linear), the blur
    // programs (looked up, attributes bound, relinked, validated), the glow
    // target, the blur, the distortion and scene colour textures (window
    // size, nearest), the dream overlay (over the "Sprite" program) and the
    // scene target with both textures attached. The scene target is left
    // bound. The screen quad is not owned. Returns whether everything is
    // complete; what is not is appended to problems.
    bool create(const ContentManager& content, const ScreenQuad& quad, int width, int height,
                std::vector<std::string>* problems);

    // Looks up "Distortion", binds a_position to 0, relinks and validates.
    bool prepareDistortion(const ContentManager& content, std::vector<std::string>* problems);
    // The greeting drawn into the glow (not owned; null for none).
    void setGreeting(const IGreetingSprite* greeting) { greeting_ = greeting; }
    const IGreetingSprite* greeting() const { return greeting_; }
    const ScreenQuad* screenQuad() const { return quad_; }

    // Scene pass set-up: binds the scene target, viewport to the window,
    // depth writes and all colour channels on, draws into both attachments
    // and clears colour and depth.
    void beginScene();
    // Which attachments the scene pass draws into: the colour alone (the
    // submeshes), or colour and bend (the particles).
    void drawToSceneColour();
    void drawToSceneColourAndDistortion();

    // The first drawing into the window: the scene colour bent by the
    // distortion texture (or, without the program, unbent through the
    // sprites when given).
    void compositeDistortion(SpriteRenderer* fallback);
    // Glow pass steps that do not draw submeshes: binds and clears the glow
    // target at half size (returns false, doing nothing, when there is no
    // glow), and the blur of the glow texture afterwards.
    bool beginGlow();
    void blurGlow();
    // Adds the blurred glow over the window through the given sprites
    // (whose matrix is the window's pixel space).
    void compositeGlow(SpriteRenderer& sprites);

    bool hasGlow() const { return glowTexture_ && blur_.ready(); }

    int width() const { return width_; }
    int height() const { return height_; }
    FrameBuffer& sceneTarget() { return sceneTarget_; }
    const Texture* sceneColour() const { return sceneColour_.get(); }
    const Texture* distortionTexture() const { return distortionTexture_.get(); }
    const Texture* glowTexture() const { return glowTexture_.get(); }
    SeparableBlur& blur() { return blur_; }
    DreamOverlay* dream() { return dream_.get(); }

private:
    struct DistortionProgram {
        ShaderProgram* program = nullptr;
        GLint mvp = -1;
        GLint diffTex = -1;
        GLint distortTex = -1;
    };

    const ScreenQuad* quad_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int glowWidth_ = 0;
    int glowHeight_ = 0;
    std::unique_ptr<Texture> glowTexture_;
    FrameBuffer glowTarget_;
    SeparableBlur blur_;
    std::unique_ptr<Texture> distortionTexture_;
    std::unique_ptr<Texture> sceneColour_;
    std::unique_ptr<DreamOverlay> dream_;
    FrameBuffer sceneTarget_;
    DistortionProgram distortion_;
    const IGreetingSprite* greeting_ = nullptr;
};
