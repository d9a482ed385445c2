#pragma once
// The capture window: a hidden window of SDL's offscreen video driver (asked
// for by name, so no display is needed or used) with an OpenGL context over
// EGL, at exactly the size asked for.
#include <SDL2/SDL.h>

#include <string>

namespace capture {

class HeadlessWindow {
public:
    HeadlessWindow() = default;
    ~HeadlessWindow() { close(); }
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // Opens the window and makes its context current. On failure everything
    // made so far is released and `error` says what the driver refused.
    bool open(int width, int height, std::string& error);
    void close();

    SDL_Window* window() const { return window_; }
    SDL_GLContext context() const { return context_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Depth bits of the context: 32, or 24 where 32 is refused.
    int depthBits() const { return depthBits_; }
    // GL_RENDERER, as the driver names itself.
    std::string renderer() const;

private:
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int depthBits_ = 0;
    bool videoStarted_ = false;
};

} // namespace capture
