#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the file at path whole, as raw bytes. Returns false (and leaves bytes
// empty) when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// Walks a byte buffer, reading little-endian numbers and length-prefixed
// strings. A read that would pass the end of the buffer reads nothing, gives
// zero (or an empty string) and marks the cursor failed; the failure sticks,
// so a reader can read a whole record and test ok() once.
class BinaryCursor {
public:
    BinaryCursor(const std::uint8_t* data, std::size_t size, std::size_t start = 0);
    explicit BinaryCursor(const std::vector<std::uint8_t>& bytes, std::size_t start = 0);

    std::int32_t readInt32();
    std::uint8_t readUInt8();
    std::uint16_t readUInt16();
    float readFloat32();
    // An int32 byte count n, then n bytes. A negative count fails.
    std::string readString();
    // Copies n raw bytes to out.
    bool readBytes(void* out, std::size_t n);
    // True when count records of recordSize bytes each still fit in the
    // buffer (no overflow in the product); marks the cursor failed otherwise.
    bool canRead(std::int64_t count, std::size_t recordSize);

    bool ok() const { return ok_; }
    // Marks the cursor failed with the given reason (the first reason stays).
    void fail(const std::string& reason);
    const std::string& error() const { return error_; }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return size_ - pos_; }
    std::size_t size() const { return size_; }

private:
    bool take(void* out, std::size_t n);

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_;
    bool ok_ = true;
    std::string error_;
};
