#include "app/dialog_picture.h"

#include <cairo.h>

#include <cstring>

#include "content/image.h"

void copyRowsBottomUp(const Image& image, std::uint8_t* rows, int stride) {
    const int channels = image.channels;
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* in = image.pixels.data() + (image.height - 1 - y) * image.rowBytes();
        std::uint8_t* out = rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        for (std::uint32_t x = 0; x < image.width; ++x, in += channels) {
            const std::uint32_t r = in[0];
            const std::uint32_t g = channels >= 3 ? in[1] : r;
            const std::uint32_t b = channels >= 3 ? in[2] : r;
            const std::uint32_t word = (r << 16) | (g << 8) | b;
            std::memcpy(out + 4 * x, &word, 4);
        }
    }
}

cairo_surface_t* loadBackground(const char* path) {
    Image image;
    if (!loadImage(path, image) || image.width == 0 || image.height == 0 || image.channels < 1) return nullptr;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(image.width), static_cast<int>(image.height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    copyRowsBottomUp(image, cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface));
    cairo_surface_mark_dirty(surface);
    return surface;
}

void paintBackground(cairo_t* cr, cairo_surface_t* background) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    if (background) {
        cairo_set_source_surface(cr, background, 0, 0);
        // Whatever lies outside the picture stays as the dialog has it.
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_NONE);
        cairo_rectangle(cr, 0, 0, 400, 155);
        cairo_clip(cr);
        cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(background),
                        cairo_image_surface_get_height(background));
        cairo_fill(cr);
        cairo_reset_clip(cr);
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, 0, 150, 400, 100);
    cairo_fill(cr);
    cairo_restore(cr);
}
