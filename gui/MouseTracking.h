// Mouse tracking while a button is held. Controls get no move or release
// events of their own: a control that reacts to a held button begins a hold
// when it takes a press, and returns at once. The window procedure keeps the
// pointer and the held button here, and after every mouse message it
// receives, carries the hold one pass further; the release of the held
// button ends it. Nothing waits or polls, so the host's own message loop
// (on Windows) or its idle calls (on Linux) keep running during a drag.
//
// Everything here belongs to the calling thread, as mouse capture does on
// Windows: hosts may give each editor a user-interface thread of its own,
// and each may hold a knob at once.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/HoldTarget.h"
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

// The calling thread's pointer and held button, shared by every instance and
// window it owns; all zero while it holds no button.
MouseState currentMouseState();
PixelPoint getMousePosition();

// Called by a control from its onMouseDown: the control follows the button
// held since this press. Several controls may take one press; they end in
// the order they began. A press of the other button during a hold may begin
// further holds, which move from then on and end before the earlier ones.
// Without a held button the hold ends at once.
void beginHold(HoldTarget* target);
// A control that goes away while it holds is forgotten without its end.
void forgetHold(HoldTarget* target);

// The window procedure's side of the tracking.
PixelPoint pointOfMessage(LPARAM position);
void recordMousePosition(LPARAM position);
void recordButtonPress(HWND window, LPARAM position, int32_t button);
void recordButtonRelease(int32_t button);
// WM_CAPTURECHANGED: the window lost the capture to newOwner (or to nobody).
void recordCaptureLost(HWND window, HWND newOwner);
void recordWindowDestroyed(HWND window);
// After each mouse message: one pass of the control that moves, if a hold lasts.
void continueHold();
