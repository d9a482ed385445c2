// The show's frame with the whole built content, as murmur draws it: the
// CPU time of the timeline's update and of the frame's submission (every
// pass, up to and including the buffer swap), without waiting for the GPU,
// at 1280x720. Measured at four places of the show (the office, the
// exhale with the dream to follow, the run, the credits); glFinish runs
// after each frame, outside the measured time.
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

void BM_ShowFrame(benchmark::State& state) {
    std::string error;
    SDL_Window* window = openWindow(error);
    if (!window) {
        state.SkipWithError(error.c_str());
        return;
    }
    auto show = std::make_unique<DemoController>();
    logFlags.mirrorToDebugger = false;
    show->useMusicPlayer(nullptr);  // the loop time is the clock
    show->adoptGraphics(window, kWidth, kHeight);
    show->load(MURMUR_CONTENT_DIR);
    show->prepareMaterialPrograms();
    if (!show->loadProblems().empty()) {
        state.SkipWithError(("the built content has gaps: " + show->loadProblems().front()).c_str());
        return;
    }

    const float frameMs = 1000.0f / 60.0f;
    float timeMs = static_cast<float>(state.range(0)) * 1000.0f;
    // A second of frames first: the driver compiles what it draws, the
    // smoke fills up.
    for (int i = 0; i < 60; ++i, timeMs += frameMs) {
        show->update(timeMs, frameMs);
        show->render(timeMs, frameMs);
        glFinish();
    }

    double updateCpu = 0.0, renderCpu = 0.0;
    for (auto _ : state) {
        const double t0 = threadCpuSeconds();
        show->update(timeMs, frameMs);
        const double t1 = threadCpuSeconds();
        show->render(timeMs, frameMs);
        const double t2 = threadCpuSeconds();
        updateCpu += t1 - t0;
        renderCpu += t2 - t1;
        timeMs += frameMs;
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
BENCHMARK(BM_ShowFrame)->Arg(20)->Arg(100)->Arg(160)->Arg(225)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Iterations(240);

}  // namespace
