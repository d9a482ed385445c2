#pragma once
// An MP4 file with H.264 video (libx264) and AAC audio, encoded and muxed
// in-process with FFmpeg's libraries.
#include <cstdint>
#include <string>

namespace capture {

struct VideoSettings {
    int width = 0;  // even
    int height = 0; // even
    int fps = 30;
    int sampleRate = 44100; // stereo
    int crf = 18;           // x264 quality: lower is better
    const char* preset = "medium";
};

class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder(); // releases everything; an unfinished file is left as it is
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    bool open(const std::string& path, const VideoSettings& settings, std::string& error);
    // One frame: RGBA rows bottom to top, as read back from GL.
    bool addFrame(const std::uint8_t* rgbaBottomUp, std::string& error);
    // Interleaved 16-bit stereo; any number of frames per call.
    bool addAudio(const std::int16_t* stereo, std::size_t frames, std::string& error);
    // Flushes both encoders and writes the file's index.
    bool finish(std::string& error);

    std::int64_t videoFrames() const;

private:
    struct State;
    State* state_;
};

} // namespace capture
