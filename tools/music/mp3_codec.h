#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace music {

// An MP3 encoder fed piece by piece: open, add any number of times, finish.
class Mp3Encoder {
public:
    Mp3Encoder();
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    bool open(int sampleRate, int kilobitsPerSecond, std::string& error);
    // Interleaved 16-bit stereo frames.
    bool add(const std::int16_t* stereo, std::size_t frames, std::string& error);
    // Flushes the encoder and returns the whole stream.
    bool finish(std::vector<unsigned char>& mp3, std::string& error);

private:
    struct State;
    State* state_;
};

// Encodes interleaved 16-bit stereo with libmp3lame at a constant bit rate.
// The stream starts with an information frame that records the encoder's
// delay and padding, so that decoders give back exactly the frames encoded.
bool encodeMp3(const std::vector<std::int16_t>& stereo, int sampleRate, int kilobitsPerSecond,
               std::vector<unsigned char>& mp3, std::string& error);

// Audio decoded from an MP3 file: interleaved 16-bit samples.
struct DecodedAudio {
    long sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;
    std::size_t frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

// Decodes a whole MP3 file with libmpg123 in its own rate and channel count.
bool decodeMp3File(const std::string& path, DecodedAudio& audio, std::string& error);

// RMS level in dB relative to full scale of consecutive windows (all channels
// together); digital silence reads -120 dB.
std::vector<double> loudnessDbfs(const DecodedAudio& audio, double windowSeconds);

}  // namespace music
