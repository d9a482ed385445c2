#pragma once

#include <SDL2/SDL_keycode.h>

// Windows virtual-key code of an SDL key, or 0 for keys without one.
int virtualKeyFromSdl(SDL_Keycode key);
