#pragma once

#include <SDL2/SDL_events.h>

#include "app/frame_timer.h"

// Added to the loop's clock; moving it lets the show start later in its
// timeline.
inline constexpr float kStartOffsetMs = 0.0f;

// What the main loop drives once per frame. Times are milliseconds.
class IApplication {
public:
    virtual ~IApplication() = default;
    // false ends the loop after this frame has been rendered.
    virtual bool update(float timeMs, float deltaMs) = 0;
    // false ends the loop at once.
    virtual bool render(float timeMs, float deltaMs) = 0;
};

// Where the loop takes its input from.
class IEventSource {
public:
    virtual ~IEventSource() = default;
    // Takes the next waiting event off the queue; false when none waits.
    virtual bool pollEvent(SDL_Event& event) = 0;
    // Hands an event to the window.
    virtual void dispatch(const SDL_Event& event) = 0;
    // Whether Escape is held down right now.
    virtual bool escapeHeld() = 0;
};

// SDL's own queue, dispatching to the OpenglWindow.
class SdlEventSource : public IEventSource {
public:
    bool pollEvent(SDL_Event& event) override;
    void dispatch(const SDL_Event& event) override;
    bool escapeHeld() override;
};

// Runs frames until Escape is held, a quit event arrives, update returns
// false (after rendering that frame) or render returns false. Every waiting
// event is handled before the next frame. The timer must have been started.
void runMainLoop(IApplication& app, IEventSource& events, FrameTimer& timer);
