// Mouse tracking while a button is held. Controls get no move or release
// events: a control that reacts to a held button runs holdLoop inside its
// onMouseDown, which pumps only mouse messages back into the window
// procedure; the procedure keeps the pointer and the held button here.
//
// Everything here runs on the thread that owns the windows.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/PixelGeometry.h"

enum CapturedButton : int32_t {
    kNoButton = 0,
    kLeftButton = 1,
    kRightButton = 2,
};

struct MouseState {
    int32_t x;                // client pixels of the window that last saw the mouse;
    int32_t y;                // negative when a captured drag leaves it left or above
    int32_t capturedButton;   // a CapturedButton
};

// One record for the whole process, shared by every instance and window.
extern MouseState mouseState;

// Handles at most one pending mouse message of the thread, without waiting,
// and returns the captured button afterwards. A hold whose window no longer
// has the capture (another window took it, or the window is gone) has ended:
// no release will ever reach the window.
int32_t pumpMouseMessages();
PixelPoint getMousePosition();

// Runs pass() once per pumped message for as long as a button stays captured.
template <class Pass>
void holdLoop(Pass pass) {
    for (;;) {
        const int32_t button = pumpMouseMessages();
        if (button != kLeftButton && button != kRightButton) return;
        pass();
    }
}

// The window procedure's side of the tracking.
void recordMousePosition(LPARAM position);
void recordButtonPress(HWND window, LPARAM position, int32_t button);
void recordButtonRelease(int32_t button);
// WM_CAPTURECHANGED: the window lost the capture to newOwner (or to nobody).
void recordCaptureLost(HWND window, HWND newOwner);
