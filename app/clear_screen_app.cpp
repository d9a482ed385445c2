#include "app/clear_screen_app.h"

#include <GL/gl.h>

#include "app/log.h"

bool ClearScreenApp::initGraphics(int width, int height, int bitsPerPixel, int refreshRate) {
    if (window.createWindow(width, height, bitsPerPixel, refreshRate, this)) return true;
    logMessage("couldn't initialize opengl window");
    window.destroyWindow();
    return false;
}

bool ClearScreenApp::load(const std::string& directory) {
    dataDirectory = directory;
    return true;
}

bool ClearScreenApp::update(float, float) { return true; }

bool ClearScreenApp::render(float, float) {
    glViewport(0, 0, window.width, window.height);
    glClearColor(kClearColour[0], kClearColour[1], kClearColour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    window.swapBuffers();
    return true;
}
