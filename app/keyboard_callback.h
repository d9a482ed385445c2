#pragma once

// Receives the window's input. Key codes are Windows virtual-key codes
// (letters 0x41-0x5A whatever the Shift state, Escape 0x1B).
class IKeyboardCallback {
public:
    virtual ~IKeyboardCallback() = default;
    virtual void onKeyDown(int virtualKey) = 0;
    // A left click, or a request to close the window (which never closes it).
    virtual void onClick() = 0;
};
