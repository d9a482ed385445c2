#include "audio/mp3_decoder.h"

#include <mpg123.h>

#include <cstdio>
#include <filesystem>

namespace audio {

namespace {

// libmpg123 reads the file through these, from a stdio stream: its own file
// reader makes one system call per byte while it searches damaged data for
// the next frame, and the stream's buffer serves those from memory.
ssize_t readFile(void* handle, void* buffer, size_t bytes) {
    auto* file = static_cast<std::FILE*>(handle);
    const std::size_t got = std::fread(buffer, 1, bytes, file);
    return got == 0 && std::ferror(file) ? -1 : static_cast<ssize_t>(got);
}

off_t seekFile(void* handle, off_t offset, int whence) {
    auto* file = static_cast<std::FILE*>(handle);
    return fseeko(file, offset, whence) == 0 ? ftello(file) : -1;
}

bool libraryReady() {
    // Safe to call more than once; newer libmpg123 versions do nothing here.
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

}  // namespace

Mp3Decoder::~Mp3Decoder() { close(); }

void Mp3Decoder::close() {
    if (handle_ != nullptr) {
        mpg123_close(handle_);
        mpg123_delete(handle_);
        handle_ = nullptr;
    }
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    length_ = -1;
}

Mp3Decoder::OpenResult Mp3Decoder::open(const std::string& path, std::uint32_t rate) {
    close();
    rate_ = rate;
    // libmpg123 reports a missing file and a broken one alike; tell them apart
    // first so that the caller learns which it was.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) return OpenResult::FileOpen;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) return OpenResult::FileOpen;
    if (!libraryReady()) {
        close();
        return OpenResult::Memory;
    }
    int error = MPG123_OK;
    handle_ = mpg123_new(nullptr, &error);
    if (handle_ == nullptr) {
        close();
        return OpenResult::Memory;
    }
    // ID3v2 tags are skipped, not read: the show needs none of them, and a
    // damaged tag header would have the library set aside whatever size it
    // claims (up to 256 MB) before finding the file short.
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_SKIP_ID3V2, 0.0);
    mpg123_format_none(handle_);
    if (mpg123_format(handle_, static_cast<long>(rate), MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) {
        close();
        return OpenResult::Format;
    }
    if (mpg123_replace_reader_handle(handle_, readFile, seekFile, nullptr) != MPG123_OK ||
        mpg123_open_handle(handle_, file_) != MPG123_OK) {
        close();
        return OpenResult::FileOpen;
    }
    long fileRate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle_, &fileRate, &channels, &encoding) != MPG123_OK ||
        fileRate != static_cast<long>(rate) || channels != MPG123_STEREO || encoding != MPG123_ENC_SIGNED_16) {
        close();
        return OpenResult::Format;
    }
    mpg123_format_none(handle_);
    mpg123_format(handle_, fileRate, channels, encoding);
    if (mpg123_scan(handle_) != MPG123_OK) {
        close();
        return OpenResult::Format;
    }
    const off_t frames = mpg123_length(handle_);
    if (frames <= 0) {
        close();
        return OpenResult::Format;
    }
    length_ = static_cast<std::int64_t>(frames);
    return OpenResult::Ok;
}

std::size_t Mp3Decoder::read(std::int16_t* out, std::size_t maxFrames) {
    if (handle_ == nullptr) return 0;
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    const std::size_t wanted = maxFrames * 4;
    std::size_t filled = 0;
    // A few empty answers in a row (a new format announced, a frame skipped)
    // are fine; more mean the file cannot go on.
    int idle = 0;
    while (filled < wanted && idle < 8) {
        std::size_t done = 0;
        const int result = mpg123_read(handle_, bytes + filled, wanted - filled, &done);
        filled += done;
        if (result == MPG123_DONE) break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT && result != MPG123_NEED_MORE) break;
        idle = done == 0 ? idle + 1 : 0;
    }
    return filled / 4;
}

bool Mp3Decoder::seek(std::int64_t frame) {
    if (handle_ == nullptr) return false;
    return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

}  // namespace audio
