#include "app/setup_dialog.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>

#include <cstring>

#include "app/dialog_picture.h"
#include "app/display_modes.h"
#include "app/log.h"
#include "app/setup_dialog_template.h"

namespace {

// Compact controls, so that they keep the template's height.
constexpr char kDialogStyle[] =
    "button, combobox button { min-height: 0; min-width: 0; padding: 0 6px; }"
    "button, combobox { font-size: 8pt; }";

struct Dialog {
    DisplaySettings* settings = nullptr;
    GtkWindow* window = nullptr;
    GtkWidget* quit = nullptr;
    GtkComboBoxText* modeList = nullptr;
    bool desktopKnown = false;
    DisplayMode desktop;
    bool closed = false;
};

void endDialog(Dialog& dialog, int result) {
    dialog.settings->result = result;
    dialog.closed = true;
}

void fillModeList(Dialog& dialog) {
    dialog.desktopKnown = currentDisplayMode(dialog.desktop);
    const ModeList list = buildModeList(primaryDisplayModes(), dialog.desktopKnown ? &dialog.desktop : nullptr);
    for (const std::string& text : list.texts) gtk_combo_box_text_append_text(dialog.modeList, text.c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(dialog.modeList), list.selected);
}

void acceptSelection(Dialog& dialog) {
    char text[128] = {};
    bool selected = false;
    if (gtk_combo_box_get_active(GTK_COMBO_BOX(dialog.modeList)) >= 0) {
        gchar* entry = gtk_combo_box_text_get_active_text(dialog.modeList);
        if (entry) {
            std::strncpy(text, entry, sizeof text - 1);
            selected = true;
        }
        g_free(entry);
    }
    DisplayMode mode;
    if (!startMode(selected ? text : nullptr, dialog.desktopKnown ? &dialog.desktop : nullptr, mode)) {
        logMessage("no display mode to start in");
        return;
    }
    dialog.settings->width = mode.width;
    dialog.settings->height = mode.height;
    dialog.settings->bitsPerPixel = mode.bitsPerPixel;
    dialog.settings->refreshRate = mode.refreshRate;
    endDialog(dialog, 1);
}

gboolean onDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    paintBackground(cr, static_cast<Dialog*>(data)->settings->background);
    return FALSE;
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
    endDialog(*static_cast<Dialog*>(data), 0);
    return TRUE;  // the dialog is destroyed when it has ended
}

gboolean onKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    Dialog& dialog = *static_cast<Dialog*>(data);
    switch (event->keyval) {
        case GDK_KEY_Escape:
            endDialog(dialog, 0);
            return TRUE;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            // Return presses the button that has the focus; from the mode
            // list it starts, as the default button.
            if (gtk_window_get_focus(dialog.window) == dialog.quit)
                endDialog(dialog, 0);
            else
                acceptSelection(dialog);
            return TRUE;
        case GDK_KEY_F4:
            if (event->state & GDK_MOD1_MASK) {
                endDialog(dialog, 0);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void onStart(GtkButton*, gpointer data) { acceptSelection(*static_cast<Dialog*>(data)); }

void onQuit(GtkButton*, gpointer data) { endDialog(*static_cast<Dialog*>(data), 0); }

// Moves and sizes a widget from dialog units to pixels.
void mapFromDialogUnits(GtkWidget* widget) {
    int width = 0, height = 0;
    gtk_widget_get_size_request(widget, &width, &height);
    gtk_widget_set_size_request(widget, dialogUnitsToPixelsX(width), dialogUnitsToPixelsY(height));
    GtkWidget* parent = gtk_widget_get_parent(widget);
    if (parent && GTK_IS_FIXED(parent)) {
        int x = 0, y = 0;
        gtk_container_child_get(GTK_CONTAINER(parent), widget, "x", &x, "y", &y, nullptr);
        gtk_fixed_move(GTK_FIXED(parent), widget, dialogUnitsToPixelsX(x), dialogUnitsToPixelsY(y));
    }
}

void mapChild(GtkWidget* widget, gpointer) { mapFromDialogUnits(widget); }

void applyStyle() {
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kDialogStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
}

}  // namespace

void showSetupDialog(DisplaySettings& settings) {
    // The show reads its numbers with a decimal point, whatever the
    // viewer's locale says.
    gtk_disable_setlocale();
    if (!gtk_init_check(nullptr, nullptr)) {
        logMessage("can't show the setup dialog: no display");
        return;
    }
    GtkBuilder* builder = gtk_builder_new();
    GError* error = nullptr;
    if (!gtk_builder_add_from_string(builder, kSetupDialogTemplate, -1, &error)) {
        logMessage("can't show the setup dialog: %s", error ? error->message : "bad template");
        if (error) g_error_free(error);
        g_object_unref(builder);
        return;
    }
    applyStyle();

    Dialog dialog;
    dialog.settings = &settings;
    GtkWidget* window = GTK_WIDGET(gtk_builder_get_object(builder, "101"));
    dialog.window = GTK_WINDOW(window);
    GtkWidget* client = GTK_WIDGET(gtk_builder_get_object(builder, "client"));
    GtkWidget* picture = GTK_WIDGET(gtk_builder_get_object(builder, "picture"));
    GtkWidget* start = GTK_WIDGET(gtk_builder_get_object(builder, "1001"));
    GtkWidget* quit = GTK_WIDGET(gtk_builder_get_object(builder, "1002"));
    dialog.quit = quit;
    dialog.modeList = GTK_COMBO_BOX_TEXT(gtk_builder_get_object(builder, "1003"));
    settings.dialog = window;

    mapFromDialogUnits(client);
    gtk_container_foreach(GTK_CONTAINER(client), mapChild, nullptr);

    fillModeList(dialog);
    settings.background = loadBackground(kSetupPicture);
    if (!settings.background) logMessage("can't show %s; the dialog goes without its picture", kSetupPicture);

    g_signal_connect(picture, "draw", G_CALLBACK(onDraw), &dialog);
    g_signal_connect(window, "delete-event", G_CALLBACK(onDelete), &dialog);
    g_signal_connect(window, "key-press-event", G_CALLBACK(onKey), &dialog);
    g_signal_connect(start, "clicked", G_CALLBACK(onStart), &dialog);
    g_signal_connect(quit, "clicked", G_CALLBACK(onQuit), &dialog);

    gtk_widget_show_all(window);
    gtk_widget_grab_default(start);
    gtk_widget_grab_focus(start);
    gtk_window_present(GTK_WINDOW(window));

    while (!dialog.closed) gtk_main_iteration();

    // Take the dialog off the screen before anything else opens.
    gtk_widget_destroy(window);
    settings.dialog = nullptr;
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    gdk_display_sync(gdk_display_get_default());
    if (settings.background) cairo_surface_destroy(settings.background);
    settings.background = nullptr;
    g_object_unref(builder);
}
