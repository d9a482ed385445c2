#pragma once

#include <functional>
#include <memory>
#include <string>

#include "content/shader_program.h"
#include "content/sprite_renderer.h"
#include "content/texture.h"

// The picture shown while the content loads, stretched over the window, with
// a thin bar along its bottom edge that fills as files are reported done.
// It loads its own picture and sprite program straight from the data
// directory, since it is up before any content is.
class LoadingScreen {
public:
    // Shows the drawn frame (the window's buffer swap).
    using Present = std::function<void()>;

    // Loads D + "loader.jpg" and the program D + "effects/Sprite.vpr" /
    // ".fpr" for a window of width x height. True when both loaded; without
    // the picture the bar is drawn on black, and without the program only
    // black is shown.
    bool init(const std::string& dataDirectory, int width, int height, Present present);

    // Clears the window, draws the picture over all of it and the bar on top
    // (once a total is known), and presents.
    void draw();

    // A new total with nothing done yet; the picture is drawn again when
    // there was a bar to show.
    void setItemTotal(int count);
    // One more item done; the picture is drawn again whenever the share done
    // has grown by a visible step (1 / kSteps) since the last drawing, which
    // the last item always does.
    void addItemDone();

    int itemsDone() const { return itemsDone_; }
    // The share of the bar shown by the last drawing, 0 to 1.
    float shownShare() const { return shownShare_; }

    // The share done is drawn again in steps of 1 / kSteps.
    static constexpr int kSteps = 50;

    // Where the bar lies in a window of that size, in pixels from the bottom
    // left: centred, four fifths of the width, a few pixels high, a little
    // above the bottom edge.
    struct Area {
        float x0, y0, x1, y1;
    };
    static Area barArea(int width, int height);

private:
    float share() const;
    int step() const;

    std::unique_ptr<Texture> picture_;
    std::unique_ptr<ShaderProgram> program_;
    std::unique_ptr<SpriteRenderer> sprite_;
    std::unique_ptr<Texture> white_;  // one white texel, tinted for the bar
    Present present_;
    int width_ = 0;
    int height_ = 0;
    int itemTotal_ = 0;
    int itemsDone_ = 0;
    float shownShare_ = 0.0f;
    int shownStep_ = 0;
};
