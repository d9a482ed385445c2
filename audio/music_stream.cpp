#include "audio/music_stream.h"

#include "audio/mp3_decoder.h"
#include "audio/play_clock.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace audio {

namespace {

constexpr std::int64_t kFrameBytes = 4;       // 16-bit stereo
constexpr Uint16 kDeviceFrames = 1024;        // samples per device callback
constexpr std::size_t kDecodeFrames = 1024;   // frames decoded per step

thread_local ErrorCode lastErrorCode = ErrorCode::Ok;

bool fail(ErrorCode code) {
    lastErrorCode = code;
    return false;
}

bool succeed() {
    lastErrorCode = ErrorCode::Ok;
    return true;
}

struct Stream {
    Stream(std::uint32_t rate, bool looping) : loop(looping), clock(rate * static_cast<double>(kFrameBytes)) {}

    Mp3Decoder decoder;
    bool loop;
    bool playing = false;
    bool ended = false;          // played to its end (not looping)
    std::int64_t cursor = 0;     // byte position of the next decoded sample frame
    PlayClock clock;
    std::vector<std::int16_t> scratch = std::vector<std::int16_t>(kDecodeFrames * 2);

    void moveTo(std::int64_t bytes) {
        decoder.seek(bytes / kFrameBytes);
        cursor = bytes;
        ended = false;
        clock.reset(bytes);
    }

    // Decodes the next `frames` frames and adds them to mix. Called on the
    // audio thread with the device locked.
    void render(std::int32_t* mix, std::size_t frames, PlayClock::TimePoint now) {
        const std::int64_t start = cursor;
        std::int64_t wrapOffset = -1;
        std::size_t produced = 0;
        bool freshPass = false;  // nothing decoded since the last loop back
        while (produced < frames) {
            const std::size_t want = std::min(frames - produced, kDecodeFrames);
            const std::size_t got = decoder.read(scratch.data(), want);
            for (std::size_t i = 0; i < got * 2; ++i) mix[produced * 2 + i] += scratch[i];
            produced += got;
            cursor += static_cast<std::int64_t>(got) * kFrameBytes;
            if (got > 0) freshPass = false;
            if (got == want) continue;
            // End of the file (or a file that stops decoding).
            if (loop && !freshPass && decoder.seek(0)) {
                if (wrapOffset < 0) wrapOffset = static_cast<std::int64_t>(produced) * kFrameBytes;
                cursor = 0;
                freshPass = true;
                continue;
            }
            playing = false;
            ended = true;
            break;
        }
        clock.delivered(start, static_cast<std::int64_t>(produced) * kFrameBytes, wrapOffset, now,
                        decoder.lengthFrames() * kFrameBytes);
    }
};

struct Device {
    std::mutex api;  // serialises the operations; the audio thread uses SDL's device lock
    SDL_AudioDeviceID id = 0;
    std::uint32_t rate = 0;
    std::map<StreamHandle, std::unique_ptr<Stream>> streams;
    StreamHandle nextHandle = 1;  // handles are never reused in a process
    std::vector<std::int32_t> mix;
};

// Never destroyed: a program that ends without freeing the device must not
// have its audio thread mixing streams that static destruction took away.
Device& device() {
    static Device* const instance = new Device;
    return *instance;
}

void audioCallback(void* userdata, Uint8* out, int length) {
    auto& dev = *static_cast<Device*>(userdata);
    const std::size_t frames = static_cast<std::size_t>(length) / kFrameBytes;
    if (dev.mix.size() < frames * 2) dev.mix.resize(frames * 2);
    std::fill(dev.mix.begin(), dev.mix.begin() + static_cast<std::ptrdiff_t>(frames * 2), 0);
    const auto now = std::chrono::steady_clock::now();
    for (auto& entry : dev.streams) {
        Stream& stream = *entry.second;
        if (stream.playing) stream.render(dev.mix.data(), frames, now);
    }
    auto* samples = reinterpret_cast<std::int16_t*>(out);
    for (std::size_t i = 0; i < frames * 2; ++i) {
        samples[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(dev.mix[i], -32768, 32767));
    }
    // An odd tail byte count never happens with 16-bit stereo; clear it anyway.
    for (int i = static_cast<int>(frames * kFrameBytes); i < length; ++i) out[i] = 0;
}

// Runs f on the stream with the device locked; fails with Init or Handle.
template <typename F>
bool withStream(StreamHandle handle, F&& f) {
    Device& dev = device();
    std::lock_guard guard(dev.api);
    if (dev.id == 0) return fail(ErrorCode::Init);
    auto it = dev.streams.find(handle);
    if (it == dev.streams.end()) return fail(ErrorCode::Handle);
    SDL_LockAudioDevice(dev.id);
    const bool ok = f(*it->second);
    SDL_UnlockAudioDevice(dev.id);
    return ok;
}

}  // namespace

bool initDevice(int deviceIndex, std::uint32_t frequency) {
    Device& dev = device();
    std::lock_guard guard(dev.api);
    if (dev.id != 0) return fail(ErrorCode::Already);
    if (frequency < 8000 || frequency > 192000) return fail(ErrorCode::Parameter);
    if (deviceIndex != kDefaultDevice && deviceIndex < 1) return fail(ErrorCode::Device);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return fail(ErrorCode::Device);
    const char* name = nullptr;
    if (deviceIndex >= 1) {
        if (deviceIndex > SDL_GetNumAudioDevices(0)) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return fail(ErrorCode::Device);
        }
        name = SDL_GetAudioDeviceName(deviceIndex - 1, 0);
    }
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(frequency);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = audioCallback;
    want.userdata = &dev;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
    if (id == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return fail(ErrorCode::Device);
    }
    dev.mix.assign(static_cast<std::size_t>(have.samples) * 2, 0);
    dev.id = id;
    dev.rate = frequency;
    SDL_PauseAudioDevice(id, 0);
    return succeed();
}

StreamHandle createFileStream(const std::string& path, std::uint32_t flags) {
    Device& dev = device();
    std::lock_guard guard(dev.api);
    if (dev.id == 0) {
        fail(ErrorCode::Init);
        return 0;
    }
    if ((flags & ~kStreamLoop) != 0) {
        fail(ErrorCode::Parameter);
        return 0;
    }
    auto stream = std::make_unique<Stream>(dev.rate, (flags & kStreamLoop) != 0);
    switch (stream->decoder.open(path, dev.rate)) {
        case Mp3Decoder::OpenResult::Ok: break;
        case Mp3Decoder::OpenResult::FileOpen: fail(ErrorCode::FileOpen); return 0;
        case Mp3Decoder::OpenResult::Format: fail(ErrorCode::Format); return 0;
        case Mp3Decoder::OpenResult::Memory: fail(ErrorCode::Memory); return 0;
    }
    stream->moveTo(0);
    const StreamHandle handle = dev.nextHandle++;
    SDL_LockAudioDevice(dev.id);
    dev.streams.emplace(handle, std::move(stream));
    SDL_UnlockAudioDevice(dev.id);
    succeed();
    return handle;
}

bool playChannel(StreamHandle handle, bool restart) {
    return withStream(handle, [&](Stream& stream) {
        if (restart || stream.ended) {
            stream.moveTo(0);
        } else if (stream.playing) {
            return succeed();
        }
        stream.playing = true;
        return succeed();
    });
}

std::int64_t channelPosition(StreamHandle handle) {
    std::int64_t position = -1;
    withStream(handle, [&](Stream& stream) {
        position = stream.clock.position(std::chrono::steady_clock::now());
        return succeed();
    });
    return position;
}

bool setChannelPosition(StreamHandle handle, std::int64_t bytes) {
    return withStream(handle, [&](Stream& stream) {
        const std::int64_t length = stream.decoder.lengthFrames() * kFrameBytes;
        if (bytes < 0 || bytes > length) return fail(ErrorCode::Position);
        stream.moveTo(bytes - bytes % kFrameBytes);
        return succeed();
    });
}

std::int64_t channelLength(StreamHandle handle) {
    std::int64_t length = -1;
    withStream(handle, [&](Stream& stream) {
        length = stream.decoder.lengthFrames() * kFrameBytes;
        return succeed();
    });
    return length;
}

bool isChannelPlaying(StreamHandle handle) {
    bool playing = false;
    withStream(handle, [&](Stream& stream) {
        playing = stream.playing;
        return succeed();
    });
    return playing;
}

double channelBytesToSeconds(StreamHandle handle, std::int64_t bytes) {
    double seconds = -1.0;
    withStream(handle, [&](Stream& stream) {
        if (bytes < 0) return fail(ErrorCode::Parameter);
        const std::int64_t frames = bytes / kFrameBytes;
        const double rate = stream.decoder.rate();
        seconds = static_cast<double>(frames) / rate +
                  static_cast<double>(bytes % kFrameBytes) / (kFrameBytes * rate);
        return succeed();
    });
    return seconds;
}

std::int64_t channelSecondsToBytes(StreamHandle handle, double seconds) {
    std::int64_t bytes = -1;
    withStream(handle, [&](Stream& stream) {
        if (!(seconds >= 0.0) || seconds > 1.0e9) return fail(ErrorCode::Parameter);
        const double frames = seconds * stream.decoder.rate();
        // A whole frame's time maps back to that frame despite rounding in
        // the division that produced it.
        const double nearest = std::round(frames);
        const double whole = std::abs(frames - nearest) < 1.0e-6 ? nearest : std::floor(frames);
        bytes = static_cast<std::int64_t>(whole) * kFrameBytes;
        return succeed();
    });
    return bytes;
}

bool freeStream(StreamHandle handle) {
    Device& dev = device();
    std::unique_ptr<Stream> released;
    {
        std::lock_guard guard(dev.api);
        if (dev.id == 0) return fail(ErrorCode::Init);
        auto it = dev.streams.find(handle);
        if (it == dev.streams.end()) return fail(ErrorCode::Handle);
        SDL_LockAudioDevice(dev.id);
        released = std::move(it->second);
        dev.streams.erase(it);
        SDL_UnlockAudioDevice(dev.id);
    }
    return succeed();  // the decoder closes outside the device lock
}

bool freeDevice() {
    Device& dev = device();
    std::lock_guard guard(dev.api);
    if (dev.id == 0) return fail(ErrorCode::Init);
    SDL_CloseAudioDevice(dev.id);  // stops the audio thread
    dev.id = 0;
    dev.streams.clear();
    dev.mix.clear();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return succeed();
}

ErrorCode lastError() { return lastErrorCode; }

}  // namespace audio
