#pragma once

// Writers for small picture files that the content suites decode, and a
// scratch folder per test.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace murmur::test {

// A fresh empty folder under the system's temporary directory, removed when
// the object goes away.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

struct PngPalette {
    std::vector<std::uint8_t> rgb;    // 3 bytes per entry
    std::vector<std::uint8_t> alpha;  // tRNS entries; empty for none
};

// Writes a PNG of the given libpng colour type and bit depth from tightly
// packed rows (16-bit samples big-endian, as PNG stores them).
void writePng(const std::string& path, int width, int height, int colorType, int bitDepth,
              const std::vector<std::uint8_t>& rows, const PngPalette& palette = {});
// An 8-bit RGB PNG.
void writeRgbPng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

// Writes a baseline JPEG (progressive when asked); `colorSpace` is a libjpeg
// J_COLOR_SPACE value (JCS_RGB, JCS_GRAYSCALE, JCS_CMYK) and `components` its
// sample count.
void writeJpeg(const std::string& path, int width, int height, int components, int colorSpace,
               const std::vector<std::uint8_t>& samples, int quality = 100, bool progressive = false);

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace murmur::test
