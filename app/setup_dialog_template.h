#pragma once

// The setup dialog's layout, in dialog units: a GtkBuilder description of
// the window "101" with the picture area "picture", the buttons "1001"
// (Start) and "1002" (Quit) and the mode list "1003". Positions are the
// GtkFixed packing of each control, sizes their size requests.
extern const char kSetupDialogTemplate[];

// Dialog units to pixels for the dialog's font: x × 1.5 and y × 1.625,
// rounded to the nearest pixel (halves up).
int dialogUnitsToPixelsX(int units);
int dialogUnitsToPixelsY(int units);
