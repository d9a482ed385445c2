#pragma once

#include "app/display_settings.h"

// The picture the dialog shows, read from the current directory.
inline constexpr char kSetupPicture[] = "setup.jpg";

// Shows the modal setup dialog and waits until it closes. "Start" writes
// the chosen mode into `settings` and sets result to 1; "Quit", Escape,
// Alt+F4 and a close request leave result at 0. Return presses the focused
// button, and "Start" while the focus is on the mode list. Start with
// no mode selected starts in the current desktop mode. When the dialog
// cannot be shown (no display) that is logged and result stays 0.
void showSetupDialog(DisplaySettings& settings);
