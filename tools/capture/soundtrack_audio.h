#pragma once
// The music as the show plays it, for the video's sound track: the soundtrack
// from the show's start, looping at its end like the show's stream, and
// silent from the moment the show releases the music.
#include "audio/mp3_decoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

class SoundtrackAudio {
public:
    // The show releases its music stream at this loop time (seconds).
    static constexpr double kReleaseSeconds = 287.0;

    // Opens the MP3 file in its own sample rate. On failure sets `error` to a
    // line naming the file; the source then gives silence at 44100 Hz.
    bool open(const std::string& path, std::string& error);

    int rate() const { return rate_; }
    // Length of the file in seconds (0 when not open).
    double lengthSeconds() const;

    // Moves to a sample frame of the show's clock (0 = the show's start).
    void seek(std::int64_t frame);
    // Writes the next `frames` stereo frames (interleaved 16-bit) to out.
    void read(std::int16_t* out, std::size_t frames);

private:
    audio::Mp3Decoder decoder_;
    bool open_ = false;
    int rate_ = 44100;
    std::int64_t position_ = 0; // show clock, in sample frames
};

} // namespace capture
