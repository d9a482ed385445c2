#include "render/dream_overlay.h"

#include <cmath>
#include <cstdio>

#include "content/content_manager.h"
#include "render/render_targets.h"

DreamOverlay::DreamOverlay(const ContentManager& content, ShaderProgram* sprite, int width, int height)
    : width_(width),
      height_(height),
      sprites_(sprite, pixelOrthoMatrix(static_cast<float>(width), static_cast<float>(height))) {
    for (int i = 0; i < kFrameCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "dream%d", i + 1);
        frames_[static_cast<std::size_t>(i)] = content.findTexture(name);
        clampToEdge(frames_[static_cast<std::size_t>(i)]);
    }
    opacity_.appendKey(105.97625f, 0.0f, false);
    opacity_.appendKey(107.47625f, 1.0f, false);
    opacity_.appendKey(110.47625f, 1.0f, false);
    opacity_.appendKey(111.97625f, 0.0f, false);
}

void DreamOverlay::advance(float time, float dt) {
    if (!(time >= kAdvanceFrom)) return;
    frame_ += kFrameRate * dt;
    const float last = static_cast<float>(kFrameCount - 1);
    if (frame_ > last) frame_ = last;
    // A backwards step must not walk off the first frame either.
    if (!(frame_ >= 0.0f)) frame_ = 0.0f;
}

int DreamOverlay::frameIndex() const {
    const int index = static_cast<int>(std::floor(frame_));
    return index < 0 ? 0 : (index >= kFrameCount ? kFrameCount - 1 : index);
}

float DreamOverlay::opacityAt(float time) const {
    float value = 0.0f;
    opacity_.evaluate(time, value, 0);
    return value;
}

void DreamOverlay::draw(float time) {
    if (!(time >= kShowFrom && time <= kShowUntil)) return;
    const Texture* texture = frames_[static_cast<std::size_t>(frameIndex())];
    if (!texture) return;
    sprites_.begin();
    sprites_.drawTinted(texture, {1.0f, 1.0f, 1.0f, opacityAt(time)}, width_, height_);
    sprites_.end();
}
