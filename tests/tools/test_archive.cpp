#include "test_archive.h"

#include <minizip/unzip.h>
#include <png.h>

#include <cstdio>
#include <csetjmp>
#include <fstream>
#include <iterator>
#include <jpeglib.h>

namespace testing_tools {

bool readArchive(const std::string& path, std::vector<ArchiveEntry>& entries, std::string& error)
{
    unzFile zip = unzOpen(path.c_str());
    if (!zip) {
        error = path + ": cannot open";
        return false;
    }
    bool ok = true;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        unz_file_info info{};
        char name[512];
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(zip) != UNZ_OK) {
            error = path + ": unreadable entry";
            ok = false;
            break;
        }
        ArchiveEntry entry{name, std::string(info.uncompressed_size, '\0')};
        int got = info.uncompressed_size == 0
                      ? 0
                      : unzReadCurrentFile(zip, entry.bytes.data(), static_cast<unsigned>(entry.bytes.size()));
        if (unzCloseCurrentFile(zip) != UNZ_OK || got != static_cast<int>(info.uncompressed_size)) {
            error = path + ": bad data in " + entry.name;
            ok = false;
            break;
        }
        entries.push_back(std::move(entry));
    }
    unzClose(zip);
    return ok;
}

bool decodePng(const std::string& bytes, Decoded& out)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    switch (image.format) {
    case PNG_FORMAT_GRAY: out.channels = 1; break;
    case PNG_FORMAT_GA: out.channels = 2; break;
    case PNG_FORMAT_RGB: out.channels = 3; break;
    case PNG_FORMAT_RGBA: out.channels = 4; break;
    default: png_image_free(&image); return false;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    bool ok = png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

namespace {
struct JpegError {
    jpeg_error_mgr base;
    jmp_buf jump;
};
void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void quiet(j_common_ptr) {}

bool decodeInto(jpeg_decompress_struct& cinfo, const std::string& bytes, Decoded& out)
{
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
    jpeg_start_decompress(&cinfo);
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    out.channels = cinfo.output_components;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height * out.channels);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.pixels.data() + static_cast<size_t>(cinfo.output_scanline) * out.width * out.channels;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}
} // namespace

bool decodeJpeg(const std::string& bytes, Decoded& out)
{
    jpeg_decompress_struct cinfo{};
    JpegError error{};
    cinfo.err = jpeg_std_error(&error.base);
    error.base.error_exit = onError;
    error.base.output_message = quiet;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    bool ok = decodeInto(cinfo, bytes, out);
    jpeg_destroy_decompress(&cinfo);
    return ok;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace testing_tools
