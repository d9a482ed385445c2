#pragma once
// Reading zip archives and decoding pictures from memory, for the checks of
// the authored content.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testing_tools {

struct ArchiveEntry {
    std::string name;
    std::string bytes;
};

// Every entry in archive order; false (with the reason) when the archive cannot be read.
bool readArchive(const std::string& path, std::vector<ArchiveEntry>& entries, std::string& error);

struct Decoded {
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> pixels;
    const uint8_t* at(int x, int y) const
    {
        return pixels.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) *
                                   static_cast<size_t>(channels);
    }
};

// PNG: channels as stored (1 grey, 2 grey+alpha, 3, 4), 8-bit only. JPEG: 1 or 3.
bool decodePng(const std::string& bytes, Decoded& out);
bool decodeJpeg(const std::string& bytes, Decoded& out);

std::string readFile(const std::string& path);

} // namespace testing_tools
