#include "audio/music_stream.h"
#include "demo/music_player.h"

namespace {

const char* describe(audio::ErrorCode code) {
    switch (code) {
    case audio::ErrorCode::FileOpen: return "the file cannot be opened";
    case audio::ErrorCode::Format: return "the file holds no MPEG audio";
    case audio::ErrorCode::Memory: return "out of memory";
    case audio::ErrorCode::Device: return "no audio output device";
    default: return "the audio output failed";
    }
}

}  // namespace

AudioMusicPlayer::~AudioMusicPlayer() { release(); }

bool AudioMusicPlayer::open(const std::string& path, std::string* error) {
    if (!deviceOpen_) {
        if (!audio::initDevice(audio::kDefaultDevice, 44100)) {
            if (error) *error = describe(audio::lastError());
            return false;
        }
        deviceOpen_ = true;
    }
    if (stream_ == 0) stream_ = audio::createFileStream(path, audio::kStreamLoop);
    if (stream_ == 0) {
        if (error) *error = std::string("\"") + path + "\": " + describe(audio::lastError());
        return false;
    }
    return true;
}

void AudioMusicPlayer::play(double seconds) {
    if (stream_ == 0) return;
    const std::int64_t bytes = audio::channelSecondsToBytes(stream_, seconds);
    if (!audio::setChannelPosition(stream_, bytes)) (void)audio::lastError();  // play on from where it is
    audio::playChannel(stream_, false);
}

double AudioMusicPlayer::position() {
    if (stream_ == 0) return -1.0;
    const std::int64_t bytes = audio::channelPosition(stream_);
    if (bytes < 0) return -1.0;
    return audio::channelBytesToSeconds(stream_, bytes);
}

void AudioMusicPlayer::release() {
    if (stream_ != 0) audio::freeStream(stream_);
    stream_ = 0;
    if (deviceOpen_) audio::freeDevice();
    deviceOpen_ = false;
}
