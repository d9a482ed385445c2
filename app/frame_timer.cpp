#include "app/frame_timer.h"

#include <chrono>

namespace {

std::int64_t steadyNanoseconds(void*) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

FrameTimer::FrameTimer() : FrameTimer(&steadyNanoseconds, nullptr, 1000000000) {}

FrameTimer::FrameTimer(Counter counter, void* context, std::int64_t ticksPerSecond)
    : counter_(counter), context_(context), frequency_(ticksPerSecond) {}

void FrameTimer::start() {
    ticksPerSecond_ = static_cast<float>(frequency_);
    lastCount_ = counter_(context_);
    totalMs_ = 0.0f;
    previousTotalMs_ = 0.0f;
    paused = false;
}

float FrameTimer::tick() {
    const std::int64_t now = counter_(context_);
    if (!paused) totalMs_ += static_cast<float>(now - lastCount_) * 1000.0 / ticksPerSecond_;
    lastCount_ = now;
    const float delta = totalMs_ - previousTotalMs_;
    previousTotalMs_ = totalMs_;
    return delta;
}
