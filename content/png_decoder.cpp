// PNG decoding through libpng. Nothing here touches GL.

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include "content/geometry/binary_cursor.h"
#include "content/image.h"
#include "content/image_limits.h"

namespace {

// The encoded bytes being read, and the name that labels the messages.
struct PngContext {
    const char* name;
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

// libpng asks for exact byte counts; running out of bytes is an error, as
// it is for a file that ends early.
void readData(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngContext*>(png_get_io_ptr(png));
    if (length == 0) return;
    if (length > source->size - source->offset) png_error(png, "Read Error");
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

void pngError(png_structp png, png_const_charp message) {
    const auto* context = static_cast<const PngContext*>(png_get_error_ptr(png));
    std::fprintf(stderr, "%s: libpng error: %s\n", context ? context->name : "?", message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp png, png_const_charp message) {
    const auto* context = static_cast<const PngContext*>(png_get_error_ptr(png));
    std::fprintf(stderr, "%s: libpng warning: %s\n", context ? context->name : "?", message);
}

// Reads the header and sets up the transforms. Returns false when libpng
// reports an error. Only plain data lives in this frame, so a long jump
// back into it skips no destructor.
std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// libpng claims the memory for a chunk's declared length (up to 2 GiB)
// before it reads the chunk. Every chunk up to IEND is read in a decode, so
// one that claims more bytes than the file has left means the decode would
// fail anyway: say so before libpng claims the memory. Anything that is not
// a chunk list is left to libpng to report.
bool chunksFit(const PngContext& source) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (source.size < 8 || std::memcmp(source.data, signature, 8) != 0) return true;
    std::size_t at = 8;
    while (source.size - at >= 8) {
        const std::uint32_t length = bigEndian32(source.data + at);
        const char* type = reinterpret_cast<const char*>(source.data + at + 4);
        // The chunk's type, data and CRC must all lie in the file.
        if (std::uint64_t{length} + 4 > source.size - at - 8) {
            std::fprintf(stderr, "%s: chunk \"%.4s\" claims %u bytes, more than the file holds\n", source.name,
                         type, length);
            return false;
        }
        at += 12 + std::size_t{length};
        if (std::memcmp(type, "IEND", 4) == 0) break;
    }
    return true;
}

// Deflate packs at most 258 bytes into 2 bits: no PNG of this many bytes
// holds more than this many times as many bytes of (filtered) pixel data.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

bool readHeader(png_structp png, png_infop info, PngContext& source, Image& image) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &source, readData);
    png_read_info(png, info);
    // A header may claim far more pixels than the file can hold; refuse it
    // before the picture's memory is claimed, not after.
    const std::uint64_t stored =
        (std::uint64_t{png_get_rowbytes(png, info)} + 1) * std::uint64_t{png_get_image_height(png, info)};
    if (stored / kMaxDeflateRatio > source.size) {
        std::fprintf(stderr, "%s: a %ux%u picture cannot fit in %zu bytes\n", source.name,
                     png_get_image_width(png, info), png_get_image_height(png, info), source.size);
        return false;
    }
    // Palette pictures are expanded: one channel of indices would reach GL
    // as an alpha texture and lose the picture. Their transparency becomes
    // an alpha channel. (libpng's grey-to-RGB transform already implies this
    // expansion; it is asked for here so it does not hang on that detail.)
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    }
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    image.width = png_get_image_width(png, info);
    image.height = png_get_image_height(png, info);
    image.channels = png_get_channels(png, info);
    return png_get_bit_depth(png, info) == 8 && png_get_rowbytes(png, info) == image.rowBytes();
}

// An interlaced picture: every pass writes across the whole picture, so all
// its rows exist before the first pass.
bool readInterlaced(png_structp png, Image& image, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    image.pixels.resize(image.rowBytes() * image.height);
    for (std::uint32_t y = 0; y < image.height; ++y) rows[y] = image.pixels.data() + image.rowBytes() * y;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// Otherwise the pixels grow a row at a time (their memory is reserved): a
// picture whose data stops early has cost only the rows it really held.
bool readRowByRow(png_structp png, Image& image) {
    if (setjmp(png_jmpbuf(png))) return false;
    const std::size_t rowBytes = image.rowBytes();
    for (std::uint32_t y = 0; y < image.height; ++y) {
        image.pixels.resize(rowBytes * (y + 1));
        png_read_row(png, image.pixels.data() + rowBytes * y, nullptr);
    }
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

bool loadPng(const std::string& path, Image& image) {
    image = Image{};
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return false;
    return decodePng(bytes.data(), bytes.size(), path, image);
}

bool decodePng(const std::uint8_t* data, std::size_t size, const std::string& name, Image& image) {
    image = Image{};
    PngContext context{name.c_str(), data, data ? size : 0, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info;
    if (ok) {
        png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
        ok = chunksFit(context);
        ok = ok && readHeader(png, info, context, image) && image.width > 0 && image.height > 0 &&
             (image.channels == 3 || image.channels == 4);
    }
    const bool interlaced = ok && png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    std::vector<png_bytep> rows;
    if (ok) {
        try {
            image.pixels.reserve(image.rowBytes() * image.height);
            if (interlaced) rows.resize(image.height);
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "%s: picture too large (%ux%u)\n", name.c_str(), image.width, image.height);
            ok = false;
        }
    }
    if (ok) ok = interlaced ? readInterlaced(png, image, rows.data()) : readRowByRow(png, image);
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    if (!ok) image = Image{};
    return ok;
}

