#pragma once

#include <string>

#include "app/keyboard_callback.h"
#include "app/main_loop.h"
#include "app/opengl_window.h"

// The colour the shell clears the screen to.
constexpr float kClearColour[3] = {0.08f, 0.10f, 0.28f};

// A show with nothing in it: opens the window in the chosen mode and clears
// it every frame. It offers the calls the start-up makes on a show.
class ClearScreenApp : public IApplication, public IKeyboardCallback {
public:
    // Logs "couldn't initialize opengl window" and closes what it opened
    // when the window cannot be made.
    bool initGraphics(int width, int height, int bitsPerPixel, int refreshRate);
    // There is nothing to load; the data directory is kept.
    bool load(const std::string& directory);
    void prepareMaterialPrograms() {}
    bool update(float timeMs, float deltaMs) override;
    bool render(float timeMs, float deltaMs) override;
    void onKeyDown(int) override {}
    void onClick() override {}

    OpenglWindow window;
    std::string dataDirectory;
};
