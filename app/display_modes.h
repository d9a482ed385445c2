#pragma once

#include <string>
#include <vector>

// One display mode as the setup dialog lists it.
struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int refreshRate = 0;
};

// "%dx%dx%dbpp %dHz", e.g. "1280x1024x32bpp 75Hz".
std::string modeText(const DisplayMode& mode);

// Orders the texts as the mode list shows them: as strings, ignoring case,
// equal texts kept (so "1024x768..." comes before "640x480...").
void sortModeTexts(std::vector<std::string>& texts);

// The index of the first text that begins with `prefix` (ignoring case),
// searching from the second entry on and wrapping round to the first; -1
// when none does.
int findModeText(const std::vector<std::string>& texts, const std::string& prefix);

// Reads a mode text back: width, one character, height, one character,
// depth, a word, refresh rate, a word. False unless all four numbers were
// read.
bool scanModeText(const char* text, DisplayMode& mode);

// Every mode the primary display reports, in the order it reports them,
// duplicates included; empty when the display cannot be asked.
std::vector<DisplayMode> primaryDisplayModes();

// The primary display's current (desktop) mode; false when unknown.
bool currentDisplayMode(DisplayMode& mode);

// The mode list as the dialog shows it: the texts of `modes`, sorted, and
// the entry of the `current` mode selected (-1 when it is not listed or not
// known).
struct ModeList {
    std::vector<std::string> texts;
    int selected = -1;
};
ModeList buildModeList(const std::vector<DisplayMode>& modes, const DisplayMode* current);

// The mode "Start" starts in: the selected entry read back with
// scanModeText, or the desktop mode when no entry is selected (null) or the
// entry does not read. False when there is neither.
bool startMode(const char* selectedText, const DisplayMode* desktop, DisplayMode& mode);
