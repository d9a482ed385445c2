#include "render/loading_screen.h"

#include <algorithm>
#include <array>

#include "render/render_targets.h"

namespace {

std::string withSeparator(const std::string& directory) {
    if (directory.empty() || directory.back() == '/' || directory.back() == '\\') return directory;
    return directory + "/";
}

}  // namespace

bool LoadingScreen::init(const std::string& dataDirectory, int width, int height, Present present) {
    const std::string d = withSeparator(dataDirectory);
    width_ = width;
    height_ = height;
    present_ = std::move(present);
    picture_ = loadTexture(d + "loader.jpg");
    clampToEdge(picture_.get());
    program_ = createProgram(d + "effects/Sprite.vpr", d + "effects/Sprite.fpr");
    sprite_.reset();
    if (program_) {
        sprite_ = std::make_unique<SpriteRenderer>(
            program_.get(), pixelOrthoMatrix(static_cast<float>(width), static_cast<float>(height)));
    }
    const unsigned char texel[4] = {255, 255, 255, 255};
    white_ = createTexture(1, 1, 32, texel, GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST, false);
    glBindTexture(GL_TEXTURE_2D, 0);
    return picture_ && program_;
}

LoadingScreen::Area LoadingScreen::barArea(int width, int height) {
    const float w = static_cast<float>(width);
    const float thickness = static_cast<float>(std::max(3, height / 120));
    const float margin = static_cast<float>(std::max(4, height / 30));
    return {w * 0.1f, margin, w * 0.9f, margin + thickness};
}

int LoadingScreen::step() const {
    if (itemTotal_ <= 0) return 0;
    const long long done = std::min(itemsDone_, itemTotal_);
    return static_cast<int>(done * kSteps / itemTotal_);
}

float LoadingScreen::share() const {
    if (itemTotal_ <= 0) return 0.0f;
    return std::min(1.0f, static_cast<float>(itemsDone_) / static_cast<float>(itemTotal_));
}

void LoadingScreen::draw() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width_, height_);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    shownShare_ = share();
    shownStep_ = step();
    if (sprite_) {
        sprite_->begin();
        glDisable(GL_BLEND);
        // Opaque, and stretched to the window whatever its own size.
        sprite_->draw(picture_.get(), width_, height_);
        if (itemTotal_ > 0 && white_) {
            const auto [x0, y0, x1, y1] = barArea(width_, height_);
            const float filled = x0 + (x1 - x0) * shownShare_;
            glEnable(GL_BLEND);
            sprite_->drawQuad(white_->name, {x0, y1, x0, y0, x1, y1, x1, y0}, {0.0f, 0.0f, 0.0f, 0.5f});
            if (shownShare_ > 0.0f) {
                sprite_->drawQuad(white_->name, {x0, y1, x0, y0, filled, y1, filled, y0},
                                  {1.0f, 1.0f, 1.0f, 0.9f});
            }
            glDisable(GL_BLEND);
        }
        sprite_->end();
        glUseProgram(0);
    }
    if (present_) present_();
}

void LoadingScreen::setItemTotal(int count) {
    const bool hadBar = itemTotal_ > 0 || count > 0;
    itemTotal_ = count;
    itemsDone_ = 0;
    if (hadBar) draw();
}

void LoadingScreen::addItemDone() {
    ++itemsDone_;
    // The last file always completes a step.
    if (step() > shownStep_) draw();
}
