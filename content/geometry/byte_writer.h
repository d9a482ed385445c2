#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Builds the bytes of a binary content file: little-endian numbers and
// strings as an int32 byte count followed by the bytes, the same encoding
// that BinaryCursor reads.
class ByteWriter {
public:
    void writeInt32(std::int32_t v);
    void writeUInt8(std::uint8_t v);
    void writeUInt16(std::uint16_t v);
    void writeFloat32(float v);
    void writeString(const std::string& s);
    void writeBytes(const void* data, std::size_t n);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Writes the bytes to path, replacing the file. Returns false when the file
// cannot be written completely.
bool writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
