#include "tools/capture/soundtrack_audio.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace capture {

bool SoundtrackAudio::open(const std::string& path, std::string& error)
{
    open_ = false;
    rate_ = 44100;
    position_ = 0;
    // The decoder gives the file's own rate only; try the MP3 rates in turn.
    using Result = audio::Mp3Decoder::OpenResult;
    Result result = Result::FileOpen;
    for (int rate : {44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000}) {
        result = decoder_.open(path, static_cast<std::uint32_t>(rate));
        if (result == Result::Ok) {
            rate_ = rate;
            open_ = true;
            return true;
        }
        if (result != Result::Format) break;
    }
    rate_ = 44100;
    switch (result) {
    case Result::FileOpen: error = path + ": cannot be opened"; break;
    case Result::Memory: error = path + ": out of memory in the MP3 decoder"; break;
    default: error = path + ": not a readable MP3 stream"; break;
    }
    return false;
}

double SoundtrackAudio::lengthSeconds() const
{
    return open_ ? static_cast<double>(decoder_.lengthFrames()) / rate_ : 0.0;
}

void SoundtrackAudio::seek(std::int64_t frame)
{
    position_ = std::max<std::int64_t>(frame, 0);
    if (open_) decoder_.seek(position_ % decoder_.lengthFrames());
}

void SoundtrackAudio::read(std::int16_t* out, std::size_t frames)
{
    const std::int64_t release = static_cast<std::int64_t>(std::llround(kReleaseSeconds * rate_));
    while (frames > 0) {
        std::size_t chunk = frames;
        std::size_t got = 0;
        if (open_ && position_ < release) {
            const std::int64_t length = decoder_.lengthFrames();
            const std::int64_t inFile = position_ % length;
            chunk = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(chunk), std::min(release - position_, length - inFile)));
            got = decoder_.read(out, chunk);
        }
        // Past the release, or where the file could not be decoded: silence.
        std::memset(out + got * 2, 0, (chunk - got) * 2 * sizeof(std::int16_t));
        out += chunk * 2;
        frames -= chunk;
        position_ += static_cast<std::int64_t>(chunk);
        if (open_ && position_ % decoder_.lengthFrames() == 0) decoder_.seek(0);
        if (open_ && got < chunk && position_ < release) decoder_.seek(position_ % decoder_.lengthFrames());
    }
}

} // namespace capture
