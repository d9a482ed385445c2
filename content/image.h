#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A decoded picture: 8-bit samples, rows one after another and tightly packed
// (each row width * channels bytes). The first row in memory is the top row of
// the picture, as it is stored in the file.
struct Image {
    std::vector<std::uint8_t> pixels;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;  // 1, 3 or 4

    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(channels); }
};

// Decodes a ".png" or ".jpg" file (the extension is compared in lower case);
// any other extension, ".jpeg" included, fails. On failure `image` is left
// empty and false is returned.
bool loadImage(const std::string& path, Image& image);

// PNG: 16-bit samples are reduced to 8 bits, grey becomes RGB (grey with
// alpha RGBA), samples below 8 bits become one byte each, and palette
// pictures are expanded to RGB (RGBA when they carry transparency).
bool loadPng(const std::string& path, Image& image);

// JPEG: always 3 channels of RGB, whatever the file's colour space
// (greyscale, YCbCr, CMYK or YCCK). A truncated file fails.
bool loadJpeg(const std::string& path, Image& image);

// The same decoders on an encoded picture held in memory; name labels the
// messages (the path, for a file). loadPng and loadJpeg read the file whole
// and decode it through these.
bool decodePng(const std::uint8_t* data, std::size_t size, const std::string& name, Image& image);
bool decodeJpeg(const std::uint8_t* data, std::size_t size, const std::string& name, Image& image);

// Reverses the order of the rows in place (the middle row of an odd height
// stays where it is).
void flipRows(std::uint8_t* pixels, std::uint32_t width, std::uint32_t height, int channels);
void flipRows(Image& image);

// The extension of the file part of a path ("/" and "\" both separate),
// lower-cased; empty when the file name has none or only a leading dot.
std::string lowerCaseExtension(const std::string& path);

