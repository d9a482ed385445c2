#pragma once

#include <cstdint>

// Millisecond frame timer over a 64-bit tick counter. The arithmetic is
// single precision on purpose: the tick difference is converted to float
// before it is scaled, as the show's timing has always been computed.
class FrameTimer {
public:
    using Counter = std::int64_t (*)(void* context);

    // The steady clock, in nanoseconds.
    FrameTimer();
    // Any counter with its frequency in ticks per second (for tests).
    FrameTimer(Counter counter, void* context, std::int64_t ticksPerSecond);

    void start();
    // Milliseconds since the previous tick (or since start).
    float tick();

    float totalMs() const { return totalMs_; }
    bool paused = false;

private:
    Counter counter_;
    void* context_;
    std::int64_t frequency_;
    std::int64_t lastCount_ = 0;
    float totalMs_ = 0.0f;
    float previousTotalMs_ = 0.0f;
    float ticksPerSecond_ = 0.0f;
};
