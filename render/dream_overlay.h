#pragma once

#include <array>

#include "anim/core/linear_interpolator.h"
#include "content/shader_program.h"
#include "content/sprite_renderer.h"
#include "content/texture.h"

class ContentManager;

// The dream sequence: 90 full-window frames ("dream1".."dream90") played at
// 15 frames per second once the music reaches the dream, faded in and out
// by a fixed opacity track.
class DreamOverlay {
public:
    static constexpr int kFrameCount = 90;
    static constexpr float kFrameRate = 15.0f;
    static constexpr float kAdvanceFrom = 105.976f;  // music time the frames start to run
    static constexpr float kShowFrom = 105.97625f;   // first and last time drawn
    static constexpr float kShowUntil = 111.97625f;

    // Looks the frames up by name (a missing one stays null and draws
    // nothing); the sprite program is not owned and may be null.
    DreamOverlay(const ContentManager& content, ShaderProgram* sprite, int width, int height);
    DreamOverlay(const DreamOverlay&) = delete;
    DreamOverlay& operator=(const DreamOverlay&) = delete;

    // From kAdvanceFrom on, moves the frame position on by 15 x dt, kept
    // within the 90 frames.
    void advance(float time, float dt);
    // Draws the current frame over the window with the track's opacity while
    // time lies within [kShowFrom, kShowUntil]. Puts depth testing and
    // blending back as found and leaves attribute arrays 0 and 1 disabled.
    void draw(float time);

    float frame() const { return frame_; }
    // The index of the frame drawn now, 0 for "dream1".
    int frameIndex() const;
    float opacityAt(float time) const;
    const Texture* frameTexture(int index) const { return frames_[static_cast<std::size_t>(index)]; }

private:
    std::array<const Texture*, kFrameCount> frames_{};
    float frame_ = 0.0f;
    int width_;
    int height_;
    LinearInterpolator<float> opacity_;
    SpriteRenderer sprites_;
};
