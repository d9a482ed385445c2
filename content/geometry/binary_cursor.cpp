#include "content/geometry/binary_cursor.h"

#include <bit>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

static_assert(std::endian::native == std::endian::little, "content files are read as little-endian memory");

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    // Only regular files: a directory opens, but seeking it reports a size
    // that no read can deliver.
    struct stat info {};
    bool good = fstat(fileno(f), &info) == 0 && S_ISREG(info.st_mode);
    good = good && std::fseek(f, 0, SEEK_END) == 0;
    const long size = good ? std::ftell(f) : -1;
    good = good && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (good) {
        bytes.resize(static_cast<std::size_t>(size));
        good = size == 0 || std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    if (!good) bytes.clear();
    return good;
}

BinaryCursor::BinaryCursor(const std::uint8_t* data, std::size_t size, std::size_t start)
    : data_(data), size_(size), pos_(start <= size ? start : size) {}

BinaryCursor::BinaryCursor(const std::vector<std::uint8_t>& bytes, std::size_t start)
    : BinaryCursor(bytes.data(), bytes.size(), start) {}

void BinaryCursor::fail(const std::string& reason) {
    if (ok_) error_ = reason;
    ok_ = false;
}

bool BinaryCursor::take(void* out, std::size_t n) {
    if (!ok_ || n > size_ - pos_) {
        if (ok_)
            fail("data ends at byte " + std::to_string(size_) + " inside a record read at byte " +
                 std::to_string(pos_));
        std::memset(out, 0, n);
        return false;
    }
    if (n) std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
}

std::int32_t BinaryCursor::readInt32() {
    std::int32_t v;
    take(&v, sizeof v);
    return v;
}

std::uint8_t BinaryCursor::readUInt8() {
    std::uint8_t v;
    take(&v, sizeof v);
    return v;
}

std::uint16_t BinaryCursor::readUInt16() {
    std::uint16_t v;
    take(&v, sizeof v);
    return v;
}

float BinaryCursor::readFloat32() {
    float v;
    take(&v, sizeof v);
    return v;
}

std::string BinaryCursor::readString() {
    const std::size_t at = pos_;
    const std::int32_t n = readInt32();
    if (!ok_) return {};
    if (n < 0) {
        fail("negative string length " + std::to_string(n) + " at byte " + std::to_string(at));
        return {};
    }
    if (!canRead(n, 1)) return {};
    std::string s(reinterpret_cast<const char*>(data_ + pos_), static_cast<std::size_t>(n));
    pos_ += static_cast<std::size_t>(n);
    return s;
}

bool BinaryCursor::readBytes(void* out, std::size_t n) { return take(out, n); }

bool BinaryCursor::canRead(std::int64_t count, std::size_t recordSize) {
    if (!ok_) return false;
    if (count < 0) {
        fail("negative count " + std::to_string(count) + " at byte " + std::to_string(pos_));
        return false;
    }
    const auto c = static_cast<std::uint64_t>(count);
    if (recordSize != 0 && c > (size_ - pos_) / recordSize) {
        fail(std::to_string(count) + " records of " + std::to_string(recordSize) + " bytes at byte " +
             std::to_string(pos_) + " run past the end of the data (" + std::to_string(size_) + " bytes)");
        return false;
    }
    return true;
}
