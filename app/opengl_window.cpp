#include "app/opengl_window.h"

#include <initializer_list>
#include <string_view>

#include "app/virtual_keys.h"

namespace {

// The process-wide receiver of window input, set when a window is created.
IKeyboardCallback* windowCallback = nullptr;

bool sameMode(const SDL_DisplayMode& m, int width, int height, int bitsPerPixel, int refreshRate) {
    return m.w == width && m.h == height && static_cast<int>(SDL_BITSPERPIXEL(m.format)) == bitsPerPixel &&
           m.refresh_rate == refreshRate;
}

void requestPixelFormat(int bitsPerPixel, int depthBits) {
    const int channel = bitsPerPixel >= 24 ? 8 : 5;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, bitsPerPixel == 16 ? 6 : channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
}

// SDL falls back to its offscreen driver when no display answers; a show
// nobody can see is a failure, unless that driver was asked for by name.
bool visibleDriverOrAskedFor() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    const std::string_view name(driver);
    if (name != "offscreen" && name != "dummy") return true;
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    return asked && name == asked;
}

}  // namespace

bool findDisplayMode(int width, int height, int bitsPerPixel, int refreshRate, SDL_DisplayMode& mode) {
    if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && sameMode(mode, width, height, bitsPerPixel, refreshRate))
        return true;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && sameMode(mode, width, height, bitsPerPixel, refreshRate))
            return true;
    }
    return false;
}

bool showInMode(SDL_Window* window, int width, int height, int bitsPerPixel, int refreshRate) {
    SDL_ShowWindow(window);
    SDL_DisplayMode current;
    const int display = SDL_GetWindowDisplayIndex(window);
    return display >= 0 && SDL_GetCurrentDisplayMode(display, &current) == 0 &&
           sameMode(current, width, height, bitsPerPixel, refreshRate);
}

bool OpenglWindow::createWindow(int w, int h, int bitsPerPixel, int refreshRate, IKeyboardCallback* callback) {
    width = w;
    height = h;
    fullscreen = true;
    ownsWindow = true;

    // Closing the window must not end the program: close requests are input.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        destroyWindow();
        return false;
    }
    videoStarted_ = true;
    if (!visibleDriverOrAskedFor()) {
        destroyWindow();
        return false;
    }
    windowCallback = callback;

    // The pixel format is fixed when the window is made: ask for 32 depth
    // bits and take 24 where the driver refuses 32.
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALWAYS_ON_TOP;
    for (int depth : {32, 24}) {
        requestPixelFormat(bitsPerPixel, depth);
        handle = SDL_CreateWindow("Murmur :: by Quellon", 0, 0, w, h, flags);
        if (handle) {
            depthBits = depth;
            break;
        }
    }
    if (!handle) {
        destroyWindow();
        return false;
    }

    SDL_DisplayMode mode;
    if (!findDisplayMode(w, h, bitsPerPixel, refreshRate, mode) || SDL_SetWindowDisplayMode(handle, &mode) != 0 ||
        SDL_SetWindowFullscreen(handle, SDL_WINDOW_FULLSCREEN) != 0) {
        destroyWindow();
        return false;
    }

    SDL_ShowCursor(SDL_DISABLE);
    SDL_DisableScreenSaver();

    renderContext = SDL_GL_CreateContext(handle);
    if (!renderContext || SDL_GL_MakeCurrent(handle, renderContext) != 0) {
        destroyWindow();
        return false;
    }

    if (!showInMode(handle, w, h, bitsPerPixel, refreshRate)) {
        destroyWindow();
        return false;
    }
    SDL_RaiseWindow(handle);
    SDL_SetWindowInputFocus(handle);
    return true;
}

void OpenglWindow::destroyWindow() {
    if (fullscreen) {
        if (handle) SDL_SetWindowFullscreen(handle, 0);
        if (videoStarted_) SDL_ShowCursor(SDL_ENABLE);
        fullscreen = false;
    }
    if (renderContext) {
        SDL_GL_MakeCurrent(handle, nullptr);
        SDL_GL_DeleteContext(renderContext);
        renderContext = nullptr;
    }
    if (handle && ownsWindow) {
        SDL_DestroyWindow(handle);
        handle = nullptr;
        windowCallback = nullptr;
    }
    if (videoStarted_) {
        SDL_EnableScreenSaver();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted_ = false;
    }
}

void OpenglWindow::handleEvent(const SDL_Event& event) {
    if (!windowCallback) return;
    switch (event.type) {
        case SDL_KEYDOWN: {
            const int key = virtualKeyFromSdl(event.key.keysym.sym);
            if (key != 0) windowCallback->onKeyDown(key);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) windowCallback->onClick();
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) windowCallback->onClick();
            break;
        default:
            break;
    }
}

void OpenglWindow::swapBuffers() {
    if (handle) SDL_GL_SwapWindow(handle);
}
