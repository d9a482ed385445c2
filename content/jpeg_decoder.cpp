// JPEG decoding through libjpeg. Nothing here touches GL.

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <new>

#include "content/geometry/binary_cursor.h"
#include "content/image.h"
#include "content/image_limits.h"

namespace {

// The library's standard error manager, with error exit replaced by a jump
// back into the loader and messages prefixed with the file's name.
struct JpegErrors {
    jpeg_error_mgr standard;
    std::jmp_buf jump;
    const char* name;
    void (*standardEmit)(j_common_ptr, int);
    bool truncated;
};

void outputMessage(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    // libjpeg asks for a backing store when a picture needs more memory
    // than it is allowed.
    if (cinfo->err->msg_code == JERR_NO_BACKING_STORE) {
        std::fprintf(stderr, "%s: picture needs more than %ld MiB to decode\n", errors->name,
                     kMaxJpegWorkingMemory / (1024 * 1024));
        return;
    }
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "%s: %s\n", errors->name, text);
}

void errorExit(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(errors->jump, 1);
}

// Premature end of data is only a warning to libjpeg, which pads the picture
// with grey; here it makes the load fail so a damaged file is not shown as if
// it were whole.
void emitMessage(j_common_ptr cinfo, int level) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) errors->truncated = true;
    errors->standardEmit(cinfo, level);
}

// Reads the header and starts decompression into RGB (CMYK for the four
// channel colour spaces, converted row by row). A picture beyond the side
// limit is refused before decompression starts: a progressive or multi-scan
// file has libjpeg hold the whole picture's coefficients, claimed (and
// cleared) up front from the header's size alone. Plain data only in this
// frame: the long jump skips no destructor.
bool start(jpeg_decompress_struct& cinfo, JpegErrors& errors, const std::uint8_t* data, std::size_t size) {
    if (setjmp(errors.jump)) return false;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxImageSide ||
        cinfo.image_height > kMaxImageSide) {
        std::fprintf(stderr, "%s: unsupported picture size %ux%u\n", errors.name, cinfo.image_width,
                     cinfo.image_height);
        return false;
    }
    cinfo.mem->max_memory_to_use = kMaxJpegWorkingMemory;
    const bool fourChannel = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = fourChannel ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    return cinfo.output_components == (fourChannel ? 4 : 3);
}

std::uint8_t mul255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// CMYK row to RGB. Adobe writers store the inks inverted (0 = full ink).
void cmykToRgb(const JSAMPLE* in, std::uint8_t* out, std::uint32_t width, bool inverted) {
    for (std::uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned c = inverted ? in[0] : 255u - in[0];
        const unsigned m = inverted ? in[1] : 255u - in[1];
        const unsigned y = inverted ? in[2] : 255u - in[2];
        const unsigned k = inverted ? in[3] : 255u - in[3];
        out[0] = mul255(c, k);
        out[1] = mul255(m, k);
        out[2] = mul255(y, k);
    }
}

bool readRows(jpeg_decompress_struct& cinfo, JpegErrors& errors, Image& image, JSAMPLE* row) {
    if (setjmp(errors.jump)) return false;
    const bool cmyk = cinfo.out_color_space == JCS_CMYK;
    const std::size_t rowBytes = image.rowBytes();
    while (cinfo.output_scanline < cinfo.output_height) {
        // The pixels grow a row at a time (their memory is reserved): a
        // header that claims a huge picture over a few bytes of data fails
        // before it has cost more than the rows it really held.
        image.pixels.resize(rowBytes * (cinfo.output_scanline + 1));
        std::uint8_t* target = image.pixels.data() + rowBytes * cinfo.output_scanline;
        JSAMPROW rows[1] = {cmyk ? row : target};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) return false;
        // The data ran out: the rest would be padding, so stop here rather
        // than decode it.
        if (errors.truncated) return false;
        if (cmyk) cmykToRgb(row, target, image.width, cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

bool loadJpeg(const std::string& path, Image& image) {
    image = Image{};
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        std::fprintf(stderr, "can't open %s\n", path.c_str());
        return false;
    }
    return decodeJpeg(bytes.data(), bytes.size(), path, image);
}

bool decodeJpeg(const std::uint8_t* data, std::size_t size, const std::string& name, Image& image) {
    image = Image{};
    jpeg_decompress_struct cinfo{};
    JpegErrors errors{};
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = errorExit;
    errors.standard.output_message = outputMessage;
    errors.standardEmit = errors.standard.emit_message;
    errors.standard.emit_message = emitMessage;
    errors.name = name.c_str();
    jpeg_create_decompress(&cinfo);

    bool ok = start(cinfo, errors, data, size);
    std::vector<JSAMPLE> cmykRow;
    if (ok) {
        image.width = cinfo.output_width;
        image.height = cinfo.output_height;
        image.channels = 3;
        try {
            image.pixels.reserve(image.rowBytes() * image.height);
            if (cinfo.out_color_space == JCS_CMYK) cmykRow.resize(static_cast<std::size_t>(image.width) * 4);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (ok) ok = readRows(cinfo, errors, image, cmykRow.data());
    if (ok && errors.truncated) ok = false;
    jpeg_destroy_decompress(&cinfo);
    if (!ok) image = Image{};
    return ok;
}

