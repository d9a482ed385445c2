#include "app/clear_screen_app.h"

#include <GL/gl.h>

bool ClearScreenApp::initGraphics() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    SDL_DisplayMode desktop;
    const bool known = SDL_GetCurrentDisplayMode(0, &desktop) == 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (!known) return false;
    return window.createWindow(desktop.w, desktop.h, static_cast<int>(SDL_BITSPERPIXEL(desktop.format)),
                               desktop.refresh_rate, this);
}

bool ClearScreenApp::update(float, float) { return true; }

bool ClearScreenApp::render(float, float) {
    glViewport(0, 0, window.width, window.height);
    glClearColor(kClearColour[0], kClearColour[1], kClearColour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    window.swapBuffers();
    return true;
}
