#include "content/geometry/byte_writer.h"

#include <cstdio>
#include <limits>

void ByteWriter::writeBytes(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + n);
}

void ByteWriter::writeInt32(std::int32_t v) { writeBytes(&v, sizeof v); }
void ByteWriter::writeUInt8(std::uint8_t v) { writeBytes(&v, sizeof v); }
void ByteWriter::writeUInt16(std::uint16_t v) { writeBytes(&v, sizeof v); }
void ByteWriter::writeFloat32(float v) { writeBytes(&v, sizeof v); }

void ByteWriter::writeString(const std::string& s) {
    // Longer strings cannot be encoded; no content string comes near this.
    const std::size_t n = s.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())
                              ? static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())
                              : s.size();
    writeInt32(static_cast<std::int32_t>(n));
    writeBytes(s.data(), n);
}

bool writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool good = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    good = (std::fclose(f) == 0) && good;
    return good;
}
