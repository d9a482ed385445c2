#pragma once

#include <array>

#include <GL/glew.h>

#include "anim/game_object.h"
#include "math/mat4.h"
#include "math/vec.h"
#include "render/greeting_sprite.h"

template <typename T>
class IInterpolator;
class ContentManager;
class Geometry;
class Mesh;
class SceneNode;
class ScreenQuad;
class ShaderProgram;
struct Texture;

// The credits: a hand dances and shows twelve greetings one after another.
// An integer track on the hand ("credits_visible") is 1 while a greeting is
// shown; on each rise the next greeting is placed along the path that the
// hand's "hand_axis" takes over the window, hanging below it, and revealed
// by the "CreditSprite" program as the window's progress runs. The dance
// clock (localTime) slows towards a tenth of its speed while a window is
// open and returns to full speed afterwards; it is the scene clock of the
// whole show.
class CreditsDance : public GameObject, public IGreetingSprite {
public:
    static constexpr int kGreetings = 12;
    static constexpr float kSlowest = 0.1f;
    static constexpr float kRamp = 5.0f;  // speed change per second

    explicit CreditsDance(const ContentManager& content);

    // Looks up the hand ("credits_dance_hand", geometry and animation), its
    // meshes "credits_hand" and "hand_axis", the visibility track, the
    // program "CreditSprite" (its a_position bound to the screen quad's
    // attribute 0) and the textures "greetz0" to "greetz11"; binds the hand's
    // tree to its meshes and hides its first three submeshes for good.
    void init() override;
    // time is the scene clock: the dance clock starts at the time of the
    // first update and then runs at its own speed.
    void update(float time, float dt) override;
    const std::vector<SubMesh*>& submeshes() const override;
    void problems(std::vector<std::string>& out) const override;

    // Whether a greeting has been chosen (it stays up once it has).
    bool greetingActive() const override { return greetingIndex_ != -1; }
    // Draws the chosen greeting (nothing before the first one) as a quad in
    // the world through viewProjection, blended, depth-tested, without depth
    // writes.
    void drawGreeting(const ScreenQuad& quad, const sm::Mat4& viewProjection) const override;
    // The greeting quad's model matrix: it maps the unit quad centred on the
    // origin onto the greeting (identity when none can be drawn).
    sm::Mat4 greetingModel() const;

    float localTime() const { return localTime_; }
    float speed() const { return speed_; }
    bool inWindow() const { return inWindow_; }
    int greetingIndex() const { return greetingIndex_; }
    float windowStart() const { return windowStart_; }
    float windowLength() const { return windowLength_; }
    float progress() const { return progress_; }
    sm::Vec3 spritePosition() const { return spritePosition_; }
    sm::Vec3 spriteSide() const { return spriteSide_; }
    sm::Vec3 spriteUp() const { return spriteUp_; }
    float spriteWidth() const { return spriteWidth_; }

private:
    void openWindow(int key);
    sm::Vec3 axisPositionAt(float time) const;
    const Texture* currentGreeting() const;

    const ContentManager& content_;
    SceneNode* handAnimation_ = nullptr;
    Geometry* handGeometry_ = nullptr;
    Mesh* creditsHand_ = nullptr;
    Mesh* handAxis_ = nullptr;
    const IInterpolator<int>* visibility_ = nullptr;
    ShaderProgram* program_ = nullptr;
    bool programLinks_ = false;
    GLint mvpLocation_ = -1;
    GLint textureLocation_ = -1;
    GLint progressLocation_ = -1;
    std::array<const Texture*, kGreetings> greetings_{};

    float localTime_ = 0.0f;
    float started_ = -1.0f;
    float speed_ = 1.0f;
    bool inWindow_ = false;
    // Whether the open window placed a greeting (a rise past the last
    // greeting opens a window that only slows the dance).
    bool windowHasGreeting_ = false;
    int greetingIndex_ = -1;
    float windowStart_ = 0.0f;
    float windowLength_ = 0.0f;
    float progress_ = 0.0f;
    sm::Vec3 spritePosition_;
    sm::Vec3 spriteSide_;
    sm::Vec3 spriteUp_;
    float spriteWidth_ = 0.0f;
};
