#pragma once

#include <cstdint>

struct Image;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

// The setup dialog's picture. Its rows are shown bottom-up: the first row of
// the file is the bottom row on screen, so a picture stored upside down
// appears upright.

// Decodes the picture with the engine's image loader and returns it as a
// surface to paint, or null when the file is missing or cannot be decoded.
cairo_surface_t* loadBackground(const char* path);

// Writes the picture's pixels into 32-bit xRGB rows (cairo's RGB24),
// `stride` bytes apart, the last row of the picture first.
void copyRowsBottomUp(const Image& image, std::uint8_t* rows, int stride);

// Paints the dialog: the picture's area (0, 0)-(400, 155), then the black
// band (0, 150)-(400, 250) under the controls. Without a picture only the
// band is painted.
void paintBackground(cairo_t* cr, cairo_surface_t* background);
