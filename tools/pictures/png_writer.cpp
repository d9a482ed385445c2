#include "tools/pictures/image_writers.h"
#include "tools/pictures/picture_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace pictures {

namespace {
struct PngError {
    std::string message;
};

void onPngError(png_structp png, png_const_charp message)
{
    auto* err = static_cast<PngError*>(png_get_error_ptr(png));
    err->message = message;
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// The library reports errors by long-jumping back here; nothing in this frame
// changes after setjmp.
bool encode(png_structp png, png_infop info, FILE* file, const Image& image, int colorType, png_bytep* rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}
} // namespace

bool writePng(const std::string& path, const Image& image, std::string& error)
{
    int colorType = 0;
    switch (image.channels) {
    case 1: colorType = PNG_COLOR_TYPE_GRAY; break;
    case 3: colorType = PNG_COLOR_TYPE_RGB; break;
    case 4: colorType = PNG_COLOR_TYPE_RGB_ALPHA; break;
    default: error = path + ": cannot write a PNG with " + std::to_string(image.channels) + " channels"; return false;
    }
    FILE* file = createPictureFile(path, image, error);
    if (!file) return false;
    PngError pngError;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngError, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        error = path + ": out of memory in the PNG encoder";
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(image.height));
    size_t stride = static_cast<size_t>(image.width) * image.channels;
    for (int y = 0; y < image.height; ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(image.pixels.data() + stride * y);
    if (!encode(png, info, file, image, colorType, rows.data())) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        error = path + ": PNG encoder: " + pngError.message;
        return false;
    }
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) {
        error = path + ": write failed";
        return false;
    }
    return true;
}

} // namespace pictures
