#pragma once
// What an MP4 file holds, read back with libavformat and libavcodec.
#include <cstdint>
#include <string>
#include <vector>

namespace capturetest {

struct MediaInfo {
    std::string error; // empty when the file was read
    std::string videoCodec, audioCodec;
    int videoStreams = 0, audioStreams = 0;
    int width = 0, height = 0;
    double frameRate = 0.0;
    std::int64_t videoPackets = 0;
    double durationSeconds = 0.0;   // of the container
    double videoSeconds = 0.0;      // last video packet's end
    int sampleRate = 0;
    std::vector<float> audioLeft;   // decoded left channel from the stream's start
};

MediaInfo probeMedia(const std::string& path);

// RMS of samples [from, to) seconds of a channel at `rate`.
double rms(const std::vector<float>& samples, int rate, double from, double to);

} // namespace capturetest
