#pragma once
// Figures of a benchmark run: start-up times and per-frame times of the show
// at the fixed clock, with glFinish after every frame.
#include "tools/capture/show.h"

#include <string>
#include <vector>

namespace capture {

struct TimeSummary {
    double mean = 0.0, p50 = 0.0, p99 = 0.0; // milliseconds
};

// Mean and nearest-rank percentiles; zeros for no samples.
TimeSummary summarize(std::vector<double> samples);

struct BenchReport {
    std::string renderer;
    int width = 0, height = 0, fps = 0;
    double from = 0.0, to = 0.0; // loop time range in seconds
    StartupTimes startup;
    std::int64_t frames = 0;
    double seconds = 0.0; // wall time of the frames
    TimeSummary frame, update, submit, gpuWait;
    double framesPerSecond() const { return seconds > 0.0 ? static_cast<double>(frames) / seconds : 0.0; }
};

// One JSON object (fields fps, frame_ms, update_ms, submit_ms, gpu_wait_ms,
// load_s, startup_s, width, height, renderer, ...), one line.
std::string benchJson(const BenchReport& report);
// A readable table.
std::string benchText(const BenchReport& report);

// Per-frame samples, made once for the whole run.
struct BenchSamples {
    explicit BenchSamples(std::size_t frames);
    void add(double updateMs, double submitMs, double gpuWaitMs);
    std::vector<double> frame, update, submit, gpuWait;
};

} // namespace capture
