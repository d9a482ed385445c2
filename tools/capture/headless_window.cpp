#include "tools/capture/headless_window.h"

#include <GL/glew.h>

#include <cstdlib>
#include <initializer_list>

namespace capture {

namespace {

void requestPixelFormat(int depthBits)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
}

std::string sizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

} // namespace

bool HeadlessWindow::open(int width, int height, std::string& error)
{
    close();
    // The offscreen driver, by name: the capture never needs a display.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("no offscreen video driver: ") + SDL_GetError();
        return false;
    }
    videoStarted_ = true;

    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    for (int depth : {32, 24}) {
        requestPixelFormat(depth);
        window_ = SDL_CreateWindow("murmur-capture", 0, 0, width, height, flags);
        if (window_ && (context_ = SDL_GL_CreateContext(window_)) != nullptr) {
            depthBits_ = depth;
            break;
        }
        if (window_) SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    if (!window_ || SDL_GL_MakeCurrent(window_, context_) != 0) {
        error = "the driver refuses a " + sizeText(width, height) + " OpenGL surface: " + SDL_GetError();
        close();
        return false;
    }
    // Without a GLX display glewInit reports an error but still loads the
    // entry points through the current EGL context.
    glewExperimental = GL_TRUE;
    glewInit();
    while (glGetError() != GL_NO_ERROR) {
    }
    if (!glGenFramebuffers || !glCreateProgram) {
        error = "the OpenGL driver lacks the 2.0 entry points";
        close();
        return false;
    }

    // The surface must really be as large as asked: check the drawable and
    // the largest viewport the driver can draw.
    int drawableW = 0;
    int drawableH = 0;
    SDL_GL_GetDrawableSize(window_, &drawableW, &drawableH);
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    if (drawableW != width || drawableH != height || width > maxViewport[0] || height > maxViewport[1]) {
        error = "the driver refuses a " + sizeText(width, height) + " surface (it offers " +
                sizeText(drawableW, drawableH) + ", at most " + sizeText(maxViewport[0], maxViewport[1]) + ")";
        close();
        return false;
    }
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
    return true;
}

void HeadlessWindow::close()
{
    if (context_) {
        SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (window_) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    if (videoStarted_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted_ = false;
    }
    width_ = height_ = depthBits_ = 0;
}

std::string HeadlessWindow::renderer() const
{
    if (!context_) return std::string();
    const GLubyte* name = glGetString(GL_RENDERER);
    return name ? reinterpret_cast<const char*>(name) : std::string();
}

} // namespace capture

