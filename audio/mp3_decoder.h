#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct mpg123_handle_struct;

namespace audio {

// An MP3 file decoded by libmpg123 to interleaved 16-bit stereo at a chosen
// rate (resampled when the file has another one). Positions count sample
// frames of that output.
class Mp3Decoder {
public:
    enum class OpenResult { Ok, FileOpen, Format, Memory };

    Mp3Decoder() = default;
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Opens the file and finds its exact length (reading every frame header).
    OpenResult open(const std::string& path, std::uint32_t rate);

    // Decodes up to maxFrames frames into out (2 samples each). Returns the
    // number of frames written; fewer than asked only at the end of the file
    // (0 there) or on a decoding error.
    std::size_t read(std::int16_t* out, std::size_t maxFrames);

    // Moves to a sample frame; false when the decoder refuses.
    bool seek(std::int64_t frame);

    // Length in sample frames of the output (-1 when unknown).
    std::int64_t lengthFrames() const { return length_; }
    std::uint32_t rate() const { return rate_; }

private:
    void close();

    mpg123_handle_struct* handle_ = nullptr;
    std::FILE* file_ = nullptr;  // read by libmpg123 through the stream's buffer
    std::int64_t length_ = -1;
    std::uint32_t rate_ = 0;
};

}  // namespace audio
