#pragma once

#include "app/keyboard_callback.h"
#include "app/main_loop.h"
#include "app/opengl_window.h"

// The colour the shell clears the screen to.
constexpr float kClearColour[3] = {0.08f, 0.10f, 0.28f};

// The shell's application: opens the window in the desktop's current mode
// and clears it every frame.
class ClearScreenApp : public IApplication, public IKeyboardCallback {
public:
    bool initGraphics();
    bool update(float timeMs, float deltaMs) override;
    bool render(float timeMs, float deltaMs) override;
    void onKeyDown(int) override {}
    void onClick() override {}

    OpenglWindow window;
};
