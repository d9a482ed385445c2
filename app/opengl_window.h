#pragma once

#include <SDL2/SDL.h>

#include "app/keyboard_callback.h"

// The show's one window: borderless, full screen in the display mode the
// viewer chose, with a double-buffered OpenGL context. Input goes to the
// IKeyboardCallback given at creation; close requests only reach onClick.
class OpenglWindow {
public:
    OpenglWindow() = default;
    OpenglWindow(const OpenglWindow&) = delete;
    OpenglWindow& operator=(const OpenglWindow&) = delete;
    ~OpenglWindow() { destroyWindow(); }

    // Opens the window, switches the display to width x height at
    // bitsPerPixel and refreshRate, and makes a GL context current. On any
    // failure everything made so far is released and false is returned.
    bool createWindow(int width, int height, int bitsPerPixel, int refreshRate, IKeyboardCallback* callback);
    // Restores the display mode and the cursor and releases the context and
    // the window. Safe to call more than once.
    void destroyWindow();

    // Routes one event as the window procedure would: key presses to
    // onKeyDown, left clicks and close requests to onClick.
    static void handleEvent(const SDL_Event& event);

    void swapBuffers();

    SDL_Window* handle = nullptr;
    int width = 0;
    int height = 0;
    SDL_GLContext renderContext = nullptr;
    bool fullscreen = false;
    bool ownsWindow = false;
    // Depth bits of the context: 32, or 24 where 32 is refused.
    int depthBits = 0;

private:
    bool videoStarted_ = false;
};

// Shows a window that was asked to go full screen. A hidden window only
// records the switch, which happens here without a word of its outcome: a
// refused mode, or SDL's closest stand-in for it, shows only in the mode the
// display is in afterwards. True when that is width x height x bitsPerPixel
// at refreshRate.
bool showInMode(SDL_Window* window, int width, int height, int bitsPerPixel, int refreshRate);

// The display mode width x height x bitsPerPixel at refreshRate, if the
// display offers it (the desktop's current mode always counts).
bool findDisplayMode(int width, int height, int bitsPerPixel, int refreshRate, SDL_DisplayMode& mode);
