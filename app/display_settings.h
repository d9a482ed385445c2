#pragma once

typedef struct _GtkWidget GtkWidget;
typedef struct _cairo_surface cairo_surface_t;

// What the setup dialog hands to the start-up: the display mode the viewer
// chose, and whether they chose to start at all.
struct DisplaySettings {
    GtkWidget* dialog = nullptr;  // the dialog while it is open
    int result = 0;               // 1 for "Start"; 0 for "Quit" or a closed dialog
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int refreshRate = 0;
    cairo_surface_t* background = nullptr;  // the dialog's picture while it is open
};
