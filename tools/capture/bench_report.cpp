#include "tools/capture/bench_report.h"

#include "tools/capture/decimal_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace capture {

namespace {

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string number(double v) { return decimalText(v, 4); }

std::string summaryJson(const TimeSummary& s)
{
    return "{\"mean\":" + number(s.mean) + ",\"p50\":" + number(s.p50) + ",\"p99\":" + number(s.p99) + "}";
}

} // namespace

TimeSummary summarize(std::vector<double> samples)
{
    TimeSummary s;
    if (samples.empty()) return s;
    std::sort(samples.begin(), samples.end());
    s.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    auto rank = [&](double p) {
        std::size_t k = static_cast<std::size_t>(std::ceil(p * static_cast<double>(samples.size())));
        return samples[std::clamp<std::size_t>(k, 1, samples.size()) - 1];
    };
    s.p50 = rank(0.50);
    s.p99 = rank(0.99);
    return s;
}

BenchSamples::BenchSamples(std::size_t frames)
{
    frame.reserve(frames);
    update.reserve(frames);
    submit.reserve(frames);
    gpuWait.reserve(frames);
}

void BenchSamples::add(double updateMs, double submitMs, double gpuWaitMs)
{
    update.push_back(updateMs);
    submit.push_back(submitMs);
    gpuWait.push_back(gpuWaitMs);
    frame.push_back(updateMs + submitMs + gpuWaitMs);
}

std::string benchJson(const BenchReport& r)
{
    return "{\"fps\":" + number(r.framesPerSecond()) + ",\"frame_ms\":" + summaryJson(r.frame) +
           ",\"update_ms\":" + summaryJson(r.update) + ",\"submit_ms\":" + summaryJson(r.submit) +
           ",\"gpu_wait_ms\":" + summaryJson(r.gpuWait) + ",\"load_s\":" + number(r.startup.total()) +
           ",\"startup_s\":{\"extraction\":" + number(r.startup.extraction) + ",\"content\":" +
           number(r.startup.content) + ",\"programs\":" + number(r.startup.programs) + "}" +
           ",\"frames\":" + std::to_string(r.frames) + ",\"clock_fps\":" + std::to_string(r.fps) +
           ",\"from_s\":" + number(r.from) + ",\"to_s\":" + number(r.to) + ",\"width\":" + std::to_string(r.width) +
           ",\"height\":" + std::to_string(r.height) + ",\"renderer\":" + jsonString(r.renderer) + "}\n";
}

std::string benchText(const BenchReport& r)
{
    char text[1024];
    auto row = [](const char* name, const TimeSummary& s) {
        char line[128];
        std::snprintf(line, sizeof line, "  %-12s %8.3f %8.3f %8.3f\n", name, s.mean, s.p50, s.p99);
        return std::string(line);
    };
    std::snprintf(text, sizeof text,
                  "renderer   %s\n"
                  "size       %dx%d, clock %d fps, %.3f to %.3f s\n"
                  "start-up   %.3f s (extraction %.3f, content %.3f, programs %.3f)\n"
                  "frames     %lld in %.3f s: %.2f frames per second\n"
                  "  ms           mean      p50      p99\n",
                  r.renderer.c_str(), r.width, r.height, r.fps, r.from, r.to, r.startup.total(), r.startup.extraction,
                  r.startup.content, r.startup.programs, static_cast<long long>(r.frames), r.seconds,
                  r.framesPerSecond());
    return text + row("frame", r.frame) + row("update", r.update) + row("submission", r.submit) +
           row("gpu wait", r.gpuWait);
}

} // namespace capture
