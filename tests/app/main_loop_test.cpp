#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace {

// Everything the loop does, in the order it does it.
using Trace = std::vector<std::string>;

struct ScriptedCounter {
    std::int64_t now = 0;
    static std::int64_t read(void* self) { return static_cast<ScriptedCounter*>(self)->now; }
};

// An event source that plays a script: before frame n, the events queued
// for n are waiting, and Escape is held from a chosen frame on.
class ScriptedEvents : public IEventSource {
public:
    explicit ScriptedEvents(Trace& trace, ScriptedCounter& counter) : trace_(trace), counter_(counter) {}

    std::vector<std::deque<SDL_Event>> perFrame;
    int escapeFromFrame = 1000;
    int frame = 0;

    bool pollEvent(SDL_Event& event) override {
        if (frame < static_cast<int>(perFrame.size()) && !perFrame[frame].empty()) {
            event = perFrame[frame].front();
            perFrame[frame].pop_front();
            counter_.now += 5;  // handling events takes time too
            return true;
        }
        return false;
    }
    void dispatch(const SDL_Event& event) override { trace_.push_back("event " + std::to_string(event.type)); }
    bool escapeHeld() override {
        if (frame >= escapeFromFrame) {
            trace_.push_back("escape");
            return true;
        }
        return false;
    }

private:
    Trace& trace_;
    ScriptedCounter& counter_;
};

class ScriptedApp : public IApplication {
public:
    ScriptedApp(Trace& trace, ScriptedEvents& events, ScriptedCounter& counter)
        : trace_(trace), events_(events), counter_(counter) {}

    int updateFalseAt = -1;
    int renderFalseAt = -1;
    std::vector<float> updateTimes, updateDeltas, renderTimes, renderDeltas;

    bool update(float timeMs, float deltaMs) override {
        trace_.push_back("update " + std::to_string(events_.frame));
        updateTimes.push_back(timeMs);
        updateDeltas.push_back(deltaMs);
        return events_.frame != updateFalseAt;
    }
    bool render(float timeMs, float deltaMs) override {
        trace_.push_back("render " + std::to_string(events_.frame));
        renderTimes.push_back(timeMs);
        renderDeltas.push_back(deltaMs);
        const bool keepGoing = events_.frame != renderFalseAt;
        ++events_.frame;
        counter_.now += 10;  // each frame takes 10 ms
        return keepGoing;
    }

private:
    Trace& trace_;
    ScriptedEvents& events_;
    ScriptedCounter& counter_;
};

SDL_Event eventOfType(Uint32 type) {
    SDL_Event e{};
    e.type = type;
    return e;
}

class MainLoopTest : public ::testing::Test {
protected:
    MainLoopTest() : timer(&ScriptedCounter::read, &counter, 1000) { timer.start(); }
    void run() { runMainLoop(app, events, timer); }

    Trace trace;
    ScriptedCounter counter;
    ScriptedEvents events{trace, counter};
    ScriptedApp app{trace, events, counter};
    FrameTimer timer;
};

TEST_F(MainLoopTest, EscapeHeldEndsTheLoopBeforeTheNextFrame) {
    events.escapeFromFrame = 2;
    run();
    EXPECT_EQ(trace, (Trace{"update 0", "render 0", "update 1", "render 1", "escape"}));
}

TEST_F(MainLoopTest, EscapeHeldBeforeTheFirstFrameRunsNone) {
    events.escapeFromFrame = 0;
    run();
    EXPECT_EQ(trace, (Trace{"escape"}));
}

TEST_F(MainLoopTest, QuitEndsTheLoopAtOnceAndLaterEventsStayQueued) {
    events.perFrame = {{}, {eventOfType(SDL_KEYDOWN), eventOfType(SDL_QUIT), eventOfType(SDL_KEYUP)}};
    run();
    EXPECT_EQ(trace, (Trace{"update 0", "render 0", "event " + std::to_string(SDL_KEYDOWN)}));
    EXPECT_EQ(events.perFrame[1].size(), 1u);
}

TEST_F(MainLoopTest, EveryWaitingEventIsHandledBeforeTheFrameAndTheDeltaCoversThem) {
    std::deque<SDL_Event> flood(50, eventOfType(SDL_MOUSEMOTION));
    events.perFrame = {{}, flood};
    events.escapeFromFrame = 2;
    run();
    ASSERT_EQ(trace.size(), 2u + 50u + 2u + 1u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(trace[2 + i], "event " + std::to_string(SDL_MOUSEMOTION));
    EXPECT_EQ(trace[52], "update 1");
    // The frame after the flood covers the frame time and all the handling.
    ASSERT_EQ(app.updateDeltas.size(), 2u);
    EXPECT_FLOAT_EQ(app.updateDeltas[1], 10.0f + 50 * 5.0f);
}

TEST_F(MainLoopTest, UpdateReturningFalseStillRendersThatFrame) {
    app.updateFalseAt = 1;
    run();
    EXPECT_EQ(trace, (Trace{"update 0", "render 0", "update 1", "render 1"}));
}

TEST_F(MainLoopTest, RenderReturningFalseStopsAtOnce) {
    app.renderFalseAt = 0;
    run();
    EXPECT_EQ(trace, (Trace{"update 0", "render 0"}));
}

TEST_F(MainLoopTest, BothCallsOfAFrameSeeTheSameTimeWhichSumsTheDeltas) {
    counter.now += 3;  // the first frame's delta runs from the timer start
    events.escapeFromFrame = 4;
    run();
    ASSERT_EQ(app.updateTimes.size(), 4u);
    EXPECT_EQ(app.updateTimes, app.renderTimes);
    EXPECT_EQ(app.updateDeltas, app.renderDeltas);
    EXPECT_FLOAT_EQ(app.updateTimes[0], 3.0f);
    float sum = 0.0f;
    for (std::size_t i = 0; i < app.updateDeltas.size(); ++i) {
        sum += app.updateDeltas[i];
        EXPECT_EQ(app.updateTimes[i], sum);
    }
    EXPECT_FLOAT_EQ(app.updateTimes[3], 33.0f);
}

}  // namespace
