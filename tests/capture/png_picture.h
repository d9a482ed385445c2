#pragma once
// A PNG that murmur-capture wrote, read back as 8-bit RGB.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace capturetest {

// An RGB picture, row 0 at the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* at(int x, int y) const { return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3; }
};

// The picture in the file; empty (width 0) when it cannot be read.
Picture readPng(const std::string& path);

} // namespace capturetest
