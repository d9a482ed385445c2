// Music stream on an arbitrary file, on SDL's dummy audio driver. Opening it
// gives no stream, with a format error, or a stream whose length, positions
// and time conversions hold together; the file is then decoded to its end,
// decoded again from its middle, and read at its start and its end.
#include "audio/mp3_decoder.h"
#include "audio/music_stream.h"
#include "fuzz/fuzz_check.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr std::uint32_t kRate = 44100;
std::string folder;
std::string file;

void removeFile() {
    audio::freeDevice();
    std::remove(file.c_str());
    rmdir(folder.c_str());
}

// Decodes until the decoder gives nothing more; the number of frames.
std::int64_t decodeToEnd(audio::Mp3Decoder& decoder) {
    static std::vector<std::int16_t> samples(4096 * 2);
    std::int64_t frames = 0;
    while (const std::size_t got = decoder.read(samples.data(), 4096)) frames += static_cast<std::int64_t>(got);
    return frames;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/murmur-fuzz-music-XXXXXX";
    require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
    folder = pattern;
    file = folder + "/input.mp3";
    require(audio::initDevice(audio::kDefaultDevice, kRate), "the audio device opens");
    std::atexit(removeFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    require(out != nullptr, "the input can be written");
    const bool written = size == 0 || std::fwrite(data, 1, size, out) == size;
    require(std::fclose(out) == 0 && written, "the input can be written");

    const audio::StreamHandle stream = audio::createFileStream(file, size % 2 ? audio::kStreamLoop : 0);
    if (stream == 0) {
        const audio::ErrorCode error = audio::lastError();
        require(error == audio::ErrorCode::Format || error == audio::ErrorCode::Memory,
                "a file that opens but does not decode is a format error");
    } else {
        const std::int64_t length = audio::channelLength(stream);
        require(length > 0 && length % 4 == 0, "a stream's length is whole sample frames");
        require(audio::channelPosition(stream) == 0, "a new stream stands at its start");
        const std::int64_t middle = length / 2 + 1;
        require(audio::setChannelPosition(stream, middle), "the middle of a stream can be reached");
        require(audio::channelPosition(stream) == middle - middle % 4, "a position is rounded down to a frame");
        require(audio::setChannelPosition(stream, length), "the end of a stream can be reached");
        require(!audio::setChannelPosition(stream, length + 4), "nothing lies beyond the end");
        require(audio::lastError() == audio::ErrorCode::Position, "past the end is a position error");
        const double seconds = audio::channelBytesToSeconds(stream, length);
        require(seconds > 0.0, "a stream lasts");
        require(audio::channelSecondsToBytes(stream, seconds) == length, "the length converts both ways");
        require(audio::freeStream(stream), "a stream can be freed");
    }

    audio::Mp3Decoder decoder;
    const bool opened = decoder.open(file, kRate) == audio::Mp3Decoder::OpenResult::Ok;
    require(opened == (stream != 0), "the decoder and the stream agree on the file");
    if (!opened) return 0;
    const std::int64_t length = decoder.lengthFrames();
    decodeToEnd(decoder);
    if (decoder.seek(length / 2)) decodeToEnd(decoder);
    std::int16_t samples[512 * 2];
    if (decoder.seek(0)) decoder.read(samples, 512);
    if (decoder.seek(length)) decoder.read(samples, 512);
    return 0;
}
