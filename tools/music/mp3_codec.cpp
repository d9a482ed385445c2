#include "tools/music/mp3_codec.h"

#include <lame/lame.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace music {

struct Mp3Encoder::State {
    lame_global_flags* lame = nullptr;
    std::vector<unsigned char> mp3;
    std::vector<unsigned char> buffer;
};

Mp3Encoder::Mp3Encoder() : state_(new State) {}

Mp3Encoder::~Mp3Encoder() {
    if (state_->lame != nullptr) lame_close(state_->lame);
    delete state_;
}

bool Mp3Encoder::open(int sampleRate, int kilobitsPerSecond, std::string& error) {
    if (state_->lame != nullptr) lame_close(state_->lame);
    state_->mp3.clear();
    lame_global_flags* lame = state_->lame = lame_init();
    if (lame == nullptr) {
        error = "cannot start the MP3 encoder";
        return false;
    }
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, kilobitsPerSecond);
    lame_set_quality(lame, 5);
    // The first frame is reserved for the information frame (see finish).
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        state_->lame = nullptr;
        error = "the MP3 encoder refuses " + std::to_string(sampleRate) + " Hz at " +
                std::to_string(kilobitsPerSecond) + " kbit/s";
        return false;
    }
    return true;
}

bool Mp3Encoder::add(const std::int16_t* stereo, std::size_t frames, std::string& error) {
    if (state_->lame == nullptr) {
        error = "the MP3 encoder is not open";
        return false;
    }
    constexpr std::size_t kChunk = 8192;
    state_->buffer.resize(kChunk * 5 / 4 + 7200);
    for (std::size_t at = 0; at < frames; at += kChunk) {
        const int count = static_cast<int>(std::min(kChunk, frames - at));
        // libmp3lame takes a non-const pointer but does not write through it.
        auto* samples = const_cast<short*>(reinterpret_cast<const short*>(stereo + at * 2));
        const int written = lame_encode_buffer_interleaved(state_->lame, samples, count, state_->buffer.data(),
                                                           static_cast<int>(state_->buffer.size()));
        if (written < 0) {
            error = "MP3 encoding failed (code " + std::to_string(written) + ")";
            return false;
        }
        state_->mp3.insert(state_->mp3.end(), state_->buffer.begin(), state_->buffer.begin() + written);
    }
    return true;
}

bool Mp3Encoder::finish(std::vector<unsigned char>& mp3, std::string& error) {
    if (state_->lame == nullptr) {
        error = "the MP3 encoder is not open";
        return false;
    }
    state_->buffer.resize(16384);
    const int tail = lame_encode_flush(state_->lame, state_->buffer.data(), static_cast<int>(state_->buffer.size()));
    if (tail < 0) {
        error = "MP3 encoding failed at the end (code " + std::to_string(tail) + ")";
        return false;
    }
    state_->mp3.insert(state_->mp3.end(), state_->buffer.begin(), state_->buffer.begin() + tail);
    // The information frame records the encoder's delay and padding, so that
    // decoders give back exactly the frames encoded; the length is known now.
    const std::size_t tagSize = lame_get_lametag_frame(state_->lame, state_->buffer.data(), state_->buffer.size());
    if (tagSize > 0 && tagSize <= state_->mp3.size()) {
        std::copy(state_->buffer.begin(), state_->buffer.begin() + static_cast<std::ptrdiff_t>(tagSize),
                  state_->mp3.begin());
    }
    lame_close(state_->lame);
    state_->lame = nullptr;
    mp3 = std::move(state_->mp3);
    state_->mp3.clear();
    return true;
}

bool encodeMp3(const std::vector<std::int16_t>& stereo, int sampleRate, int kilobitsPerSecond,
               std::vector<unsigned char>& mp3, std::string& error) {
    mp3.clear();
    Mp3Encoder encoder;
    return encoder.open(sampleRate, kilobitsPerSecond, error) && encoder.add(stereo.data(), stereo.size() / 2, error) &&
           encoder.finish(mp3, error);
}

bool decodeMp3File(const std::string& path, DecodedAudio& audio, std::string& error) {
    audio = DecodedAudio{};
    mpg123_init();
    int code = MPG123_OK;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(mpg123_new(nullptr, &code), mpg123_delete);
    if (!handle) {
        error = "cannot start the MP3 decoder";
        return false;
    }
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i) {
        mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) {
        error = path + ": cannot open: " + mpg123_strerror(handle.get());
        return false;
    }
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &audio.sampleRate, &audio.channels, &encoding) != MPG123_OK) {
        error = path + ": not an MP3 file: " + mpg123_strerror(handle.get());
        mpg123_close(handle.get());
        return false;
    }
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        std::size_t done = 0;
        const int result = mpg123_read(handle.get(), buffer.data(), buffer.size(), &done);
        const auto* samples = reinterpret_cast<const std::int16_t*>(buffer.data());
        audio.samples.insert(audio.samples.end(), samples, samples + done / 2);
        if (result == MPG123_DONE) break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            error = path + ": decoding failed: " + mpg123_strerror(handle.get());
            mpg123_close(handle.get());
            return false;
        }
    }
    mpg123_close(handle.get());
    return true;
}

std::vector<double> loudnessDbfs(const DecodedAudio& audio, double windowSeconds) {
    std::vector<double> levels;
    if (audio.channels <= 0 || audio.sampleRate <= 0 || windowSeconds <= 0.0) return levels;
    const auto window = std::max<std::size_t>(1, static_cast<std::size_t>(std::llround(windowSeconds * audio.sampleRate)));
    const std::size_t frames = audio.frames();
    const auto channels = static_cast<std::size_t>(audio.channels);
    for (std::size_t start = 0; start < frames; start += window) {
        const std::size_t end = std::min(frames, start + window);
        double sum = 0.0;
        for (std::size_t i = start * channels; i < end * channels; ++i) {
            const double v = audio.samples[i] / 32768.0;
            sum += v * v;
        }
        const double mean = sum / static_cast<double>((end - start) * channels);
        levels.push_back(mean > 1e-12 ? 10.0 * std::log10(mean) : -120.0);
    }
    return levels;
}

}  // namespace music
