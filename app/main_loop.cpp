#include "app/main_loop.h"

#include <SDL2/SDL_keyboard.h>

#include "app/opengl_window.h"

bool SdlEventSource::pollEvent(SDL_Event& event) { return SDL_PollEvent(&event) != 0; }

void SdlEventSource::dispatch(const SDL_Event& event) { OpenglWindow::handleEvent(event); }

bool SdlEventSource::escapeHeld() {
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    return keys && keys[SDL_SCANCODE_ESCAPE];
}

void runMainLoop(IApplication& app, IEventSource& events, FrameTimer& timer) {
    float accumulatedMs = 0.0f;
    bool stopRequested = false;
    SDL_Event event;
    for (;;) {
        while (events.pollEvent(event)) {
            if (event.type == SDL_QUIT) return;
            events.dispatch(event);
        }
        if (events.escapeHeld()) return;

        const float deltaMs = timer.tick();
        accumulatedMs += deltaMs;
        const float timeMs = accumulatedMs + kStartOffsetMs;

        if (!app.update(timeMs, deltaMs)) stopRequested = true;
        if (!app.render(timeMs, deltaMs) || stopRequested) return;
    }
}
