// The show's frame with the whole built content, as murmur draws it: the
// CPU time of the timeline's update and of the frame's submission (every
// pass, up to and including the buffer swap), without waiting for the GPU,
// at 1280x720. Measured at four places of the show (the office, the
// exhale with the dream to follow, the run, the credits); glFinish runs
// after each frame, outside the measured time. BM_ShowPasses splits the
// frame into its passes.
#include <GL/glew.h>
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/log.h"
#include "demo/demo_controller.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A hidden 1280x720 window with a compatibility context: SDL's offscreen
// driver over EGL (llvmpipe without a GPU).
SDL_Window* openWindow(std::string& error) {
    static SDL_Window* window = nullptr;
    if (window) return window;
    if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("SDL_Init: ") + SDL_GetError();
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_Window* made = SDL_CreateWindow("murmur bench", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!made || !SDL_GL_CreateContext(made)) {
        error = std::string("no GL context: ") + SDL_GetError();
        return nullptr;
    }
    window = made;
    return window;
}

constexpr float kFrameMs = 1000.0f / 60.0f;

// The show loaded with the built content, played up to a second before the
// start time (not drawn), then one second of frames drawn: the driver
// compiles what it draws, the smoke fills up. Null, with the state skipped,
// when it cannot be.
std::unique_ptr<DemoController> openShow(benchmark::State& state, float& timeMs) {
    std::string error;
    SDL_Window* window = openWindow(error);
    if (!window) {
        state.SkipWithError(error.c_str());
        return nullptr;
    }
    auto show = std::make_unique<DemoController>();
    logFlags.mirrorToDebugger = false;
    show->useMusicPlayer(nullptr);  // the loop time is the clock
    show->adoptGraphics(window, kWidth, kHeight);
    show->load(MURMUR_CONTENT_DIR);
    show->prepareMaterialPrograms();
    if (!show->loadProblems().empty()) {
        state.SkipWithError(("the built content has gaps: " + show->loadProblems().front()).c_str());
        return nullptr;
    }
    timeMs = static_cast<float>(state.range(0)) * 1000.0f - 1000.0f;
    for (float t = 0.0f; t < timeMs; t += kFrameMs) {
        show->update(t, t == 0.0f ? 0.0f : kFrameMs);
        show->advanceFrame(t, t == 0.0f ? 0.0f : kFrameMs);
    }
    for (int i = 0; i < 60; ++i, timeMs += kFrameMs) {
        show->update(timeMs, kFrameMs);
        show->render(timeMs, kFrameMs);
        glFinish();
    }
    return show;
}

// range(1): 1 lays the opaque scene's depth down first, 0 draws as before.
void BM_ShowFrame(benchmark::State& state) {
    float timeMs = 0.0f;
    std::unique_ptr<DemoController> show = openShow(state, timeMs);
    if (!show) return;
    show->useDepthPrepass(state.range(1) != 0);

    double updateCpu = 0.0, renderCpu = 0.0;
    for (auto _ : state) {
        const double t0 = threadCpuSeconds();
        show->update(timeMs, kFrameMs);
        const double t1 = threadCpuSeconds();
        show->render(timeMs, kFrameMs);
        const double t2 = threadCpuSeconds();
        updateCpu += t1 - t0;
        renderCpu += t2 - t1;
        timeMs += kFrameMs;
        state.PauseTiming();
        glFinish();
        state.ResumeTiming();
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["update_cpu_ms"] = updateCpu / frames * 1e3;
    state.counters["submit_cpu_ms"] = renderCpu / frames * 1e3;
    state.counters["frame_cpu_ms"] = (updateCpu + renderCpu) / frames * 1e3;
    state.counters["submeshes"] = static_cast<double>(show->sceneSubmeshes().size());
    const unsigned char* renderer = glGetString(GL_RENDERER);
    state.SetLabel(renderer ? reinterpret_cast<const char*>(renderer) : "unknown renderer");
    show.reset();
}
// Start times in seconds: at the desk, the exhale, the run, the credits.
BENCHMARK(BM_ShowFrame)->ArgsProduct({{20, 100, 160, 225}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Iterations(240);

// Where a frame's time goes: glFinish after every pass, so that each pass is
// charged with the driver's work for it (its vertices on this thread, its
// fragments on the driver's threads). The passes' sum is a little above the
// frame of BM_ShowFrame, which overlaps them.
const char* const kPassNames[kFramePassCount] = {"shadow_ms",     "scene_ms",   "smoke_ms", "distortion_ms",
                                                 "glow_ms",       "overlays_ms", "present_ms"};

// Also counts the fragments that pass the depth test in the shadow and
// scene passes (with the driver's early depth test, the fragments shaded).
class PassClock : public IPassProbe {
public:
    PassClock() { glGenQueries(2, queries_); }
    ~PassClock() override { glDeleteQueries(2, queries_); }
    void start() {
        glFinish();
        last_ = now();
        glBeginQuery(GL_SAMPLES_PASSED, queries_[0]);
    }
    void passDone(FramePass pass) override {
        if (pass == FramePass::Shadow || pass == FramePass::Scene) {
            glEndQuery(GL_SAMPLES_PASSED);
            GLuint passed = 0;
            glGetQueryObjectuiv(queries_[pass == FramePass::Scene], GL_QUERY_RESULT, &passed);
            fragments[pass == FramePass::Scene] += passed;
            if (pass == FramePass::Shadow) glBeginQuery(GL_SAMPLES_PASSED, queries_[1]);
        }
        glFinish();
        const double t = now();
        spent[static_cast<int>(pass)] += t - last_;
        last_ = t;
    }
    double spent[kFramePassCount] = {};
    double fragments[2] = {};  // shadow, scene

private:
    static double now() {
        timespec t{};
        clock_gettime(CLOCK_MONOTONIC, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
    double last_ = 0.0;
    GLuint queries_[2] = {};
};

void BM_ShowPasses(benchmark::State& state) {
    float timeMs = 0.0f;
    std::unique_ptr<DemoController> show = openShow(state, timeMs);
    if (!show) return;
    show->useDepthPrepass(state.range(1) != 0);
    PassClock clock;
    show->setPassProbe(&clock);
    for (auto _ : state) {
        show->update(timeMs, kFrameMs);
        show->advanceFrame(timeMs, kFrameMs);
        clock.start();
        show->draw();
        timeMs += kFrameMs;
    }
    show->setPassProbe(nullptr);
    const double frames = static_cast<double>(state.iterations());
    for (int i = 0; i < kFramePassCount; ++i) state.counters[kPassNames[i]] = clock.spent[i] / frames * 1e3;
    // Fragments per pixel of the window (the shadow map is the window's size).
    const double pixels = static_cast<double>(kWidth) * kHeight * frames;
    state.counters["shadow_fragments_per_pixel"] = clock.fragments[0] / pixels;
    state.counters["scene_fragments_per_pixel"] = clock.fragments[1] / pixels;
    show.reset();
}
BENCHMARK(BM_ShowPasses)->ArgsProduct({{20, 100, 160, 225}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Iterations(60);

}  // namespace
