#include "app/frame_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace {

struct ScriptedCounter {
    std::int64_t now = 0;
    static std::int64_t read(void* self) { return static_cast<ScriptedCounter*>(self)->now; }
};

TEST(FrameTimerTest, TickReturnsMillisecondsSinceThePreviousTick) {
    ScriptedCounter counter{5000};
    FrameTimer timer(&ScriptedCounter::read, &counter, 1000);
    timer.start();
    counter.now += 16;
    EXPECT_FLOAT_EQ(timer.tick(), 16.0f);
    counter.now += 34;
    EXPECT_FLOAT_EQ(timer.tick(), 34.0f);
    EXPECT_FLOAT_EQ(timer.totalMs(), 50.0f);
    EXPECT_FLOAT_EQ(timer.tick(), 0.0f);
}

TEST(FrameTimerTest, TickDifferenceIsRoundedToFloatBeforeScaling) {
    // 2^24 + 1 ticks cannot be held by a float: it becomes 2^24 before the
    // scaling, which a double computation would not do.
    ScriptedCounter counter{0};
    const std::int64_t frequency = 1000000000;
    FrameTimer timer(&ScriptedCounter::read, &counter, frequency);
    timer.start();
    counter.now = (std::int64_t{1} << 24) + 1;
    const float expected = static_cast<float>(0.0f + static_cast<float>(counter.now) * 1000.0 /
                                                         static_cast<float>(frequency));
    const float wide = static_cast<float>(static_cast<double>(counter.now) * 1000.0 / 1e9);
    const float delta = timer.tick();
    EXPECT_EQ(delta, expected);
    EXPECT_EQ(delta, 16.777216f);
    EXPECT_NE(expected, wide) << "the case must tell the two orders apart";
}

TEST(FrameTimerTest, DeltaIsTheDifferenceOfRunningFloatTotals) {
    // Past a few hours of milliseconds the float total absorbs small steps;
    // the delta is what the total really moved, not the step.
    ScriptedCounter counter{0};
    FrameTimer timer(&ScriptedCounter::read, &counter, 1000);
    timer.start();
    counter.now = 20000000;  // 2e7 ms: float spacing there is 2 ms
    timer.tick();
    counter.now += 1;
    const float delta = timer.tick();
    EXPECT_EQ(delta, timer.totalMs() - 20000000.0f);
}

TEST(FrameTimerTest, PausedTimerDoesNotAdvanceButKeepsCounting) {
    ScriptedCounter counter{0};
    FrameTimer timer(&ScriptedCounter::read, &counter, 1000);
    timer.start();
    timer.paused = true;
    counter.now = 500;
    EXPECT_EQ(timer.tick(), 0.0f);
    timer.paused = false;
    counter.now = 510;
    EXPECT_FLOAT_EQ(timer.tick(), 10.0f) << "time spent paused is not carried over";
}

TEST(FrameTimerTest, StartRestartsFromZero) {
    ScriptedCounter counter{100};
    FrameTimer timer(&ScriptedCounter::read, &counter, 1000);
    timer.start();
    counter.now = 400;
    timer.tick();
    timer.start();
    counter.now = 401;
    EXPECT_FLOAT_EQ(timer.tick(), 1.0f);
    EXPECT_FLOAT_EQ(timer.totalMs(), 1.0f);
}

TEST(FrameTimerTest, SteadyClockAdvancesInMilliseconds) {
    FrameTimer timer;
    timer.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const float delta = timer.tick();
    EXPECT_GE(delta, 19.0f);
    EXPECT_LT(delta, 10000.0f);
}

}  // namespace
