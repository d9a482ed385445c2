#include "content/image.h"

#include <algorithm>
#include <cctype>
#include <cstring>

std::string lowerCaseExtension(const std::string& path) {
    const std::size_t sep = path.find_last_of("/\\");
    const std::size_t fileStart = sep == std::string::npos ? 0 : sep + 1;
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot <= fileStart) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool loadImage(const std::string& path, Image& image) {
    image = Image{};
    if (path.empty()) return false;
    const std::string ext = lowerCaseExtension(path);
    if (ext == "png") return loadPng(path, image);
    if (ext == "jpg") return loadJpeg(path, image);
    return false;
}

void flipRows(std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, int channels) {
    if (!pixels || channels <= 0 || height < 2) return;
    const std::size_t row = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    for (std::uint32_t i = 0; i < height / 2; ++i) {
        std::uint8_t* a = pixels + row * i;
        std::uint8_t* b = pixels + row * (height - 1 - i);
        std::swap_ranges(a, a + row, b);
    }
}

void flipRows(Image& image) { flipRows(image.pixels.data(), image.width, image.height, image.channels); }

