#include "tools/music/mp3_codec.h"

#include <lame/lame.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace music {

bool encodeMp3(const std::vector<std::int16_t>& stereo, int sampleRate, int kilobitsPerSecond,
               std::vector<unsigned char>& mp3, std::string& error) {
    mp3.clear();
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame) {
        error = "cannot start the MP3 encoder";
        return false;
    }
    lame_set_in_samplerate(lame.get(), sampleRate);
    lame_set_out_samplerate(lame.get(), sampleRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), kilobitsPerSecond);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 1);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) {
        error = "the MP3 encoder refuses " + std::to_string(sampleRate) + " Hz at " +
                std::to_string(kilobitsPerSecond) + " kbit/s";
        return false;
    }
    constexpr int kChunk = 8192;
    std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
    const std::size_t frames = stereo.size() / 2;
    for (std::size_t at = 0; at < frames; at += kChunk) {
        const int count = static_cast<int>(std::min<std::size_t>(kChunk, frames - at));
        // libmp3lame takes a non-const pointer but does not write through it.
        auto* samples = const_cast<short*>(reinterpret_cast<const short*>(stereo.data() + at * 2));
        const int written = lame_encode_buffer_interleaved(lame.get(), samples, count, buffer.data(),
                                                           static_cast<int>(buffer.size()));
        if (written < 0) {
            error = "MP3 encoding failed (code " + std::to_string(written) + ")";
            return false;
        }
        mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + written);
    }
    const int tail = lame_encode_flush(lame.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (tail < 0) {
        error = "MP3 encoding failed at the end (code " + std::to_string(tail) + ")";
        return false;
    }
    mp3.insert(mp3.end(), buffer.begin(), buffer.begin() + tail);
    // The first frame was reserved for the information frame; fill it in now
    // that the length is known.
    const std::size_t tagSize = lame_get_lametag_frame(lame.get(), buffer.data(), buffer.size());
    if (tagSize > 0 && tagSize <= mp3.size()) std::copy(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(tagSize), mp3.begin());
    return true;
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
