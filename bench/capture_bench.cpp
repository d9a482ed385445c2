// murmur-capture's own costs per frame at 1280x720, apart from the show:
// reading the frame back, writing it as PNG, and encoding it into the video.

#include "tools/capture/frame_grabber.h"
#include "tools/capture/headless_window.h"
#include "tools/capture/video_encoder.h"
#include "tools/pictures/image_writers.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

// A picture like the show's: smooth gradients, a soft glow and a bright
// block that moves with the frame number, so that the encoder has motion to
// follow on every frame.
void paint(std::vector<std::uint8_t>& rgba, int frame)
{
    const int bx = (frame * 8) % kWidth;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * kWidth + x) * 4;
            const double dx = x - bx, dy = y - 360.0;
            const double glow = 200.0 * std::exp(-(dx * dx + dy * dy) / (2.0 * 90.0 * 90.0));
            const bool block = std::abs(dx) < 60 && std::abs(dy) < 60;
            p[0] = block ? 240 : static_cast<std::uint8_t>(std::min(255.0, x * 120.0 / kWidth + glow));
            p[1] = block ? 230 : static_cast<std::uint8_t>(std::min(255.0, y * 90.0 / kHeight + glow * 0.7));
            p[2] = static_cast<std::uint8_t>(std::min(255.0, 40.0 + ((x / 64 + y / 64 + frame / 10) % 2) * 30 + glow * 0.3));
            p[3] = 255;
        }
}

void BM_EncodeFrame(benchmark::State& state, const char* preset)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kWidth) * kHeight * 4);
    std::vector<std::int16_t> sound(1470 * 2, 0);
    const std::string path = "/tmp/murmur_bench_capture.mp4";
    capture::VideoEncoder encoder;
    capture::VideoSettings settings;
    settings.width = kWidth;
    settings.height = kHeight;
    settings.fps = 30;
    settings.preset = preset;
    std::string error;
    if (!encoder.open(path, settings, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    int frame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        paint(rgba, frame++);
        state.ResumeTiming();
        if (!encoder.addFrame(rgba.data(), error) || !encoder.addAudio(sound.data(), 1470, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    encoder.finish(error);
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations()); // frames
}
BENCHMARK_CAPTURE(BM_EncodeFrame, medium, "medium")->Unit(benchmark::kMillisecond)->Iterations(120)->UseRealTime();
BENCHMARK_CAPTURE(BM_EncodeFrame, veryfast, "veryfast")->Unit(benchmark::kMillisecond)->Iterations(120)->UseRealTime();

void BM_ReadBackFrame(benchmark::State& state)
{
    capture::HeadlessWindow window;
    std::string error;
    if (!window.open(kWidth, kHeight, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    capture::FrameGrabber grabber(kWidth, kHeight);
    for (auto _ : state) {
        glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        benchmark::DoNotOptimize(grabber.grab());
        benchmark::DoNotOptimize(grabber.picture().pixels.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(window.renderer());
}
BENCHMARK(BM_ReadBackFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WritePng(benchmark::State& state)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kWidth) * kHeight * 4);
    paint(rgba, 0);
    pictures::Image image{kWidth, kHeight, 3, std::vector<std::uint8_t>(static_cast<std::size_t>(kWidth) * kHeight * 3)};
    capture::rgbaBottomUpToRgb(rgba.data(), image);
    const std::string path = "/tmp/murmur_bench_capture.png";
    for (auto _ : state) {
        std::string error;
        if (!pictures::writePng(path, image, error)) state.SkipWithError(error.c_str());
    }
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WritePng)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
