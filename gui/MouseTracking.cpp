#include "gui/MouseTracking.h"

MouseState mouseState = {0, 0, kNoButton};

namespace {

// WM_MOUSEFIRST up to the middle button's double click; the wheel lies outside.
constexpr UINT kFirstMouseMessage = 0x0200;
constexpr UINT kLastMouseMessage = 0x0209;

// The window that took the press of the button now held.
HWND holdWindow = nullptr;

// Ends the hold as a release would, without touching the capture, which is
// no longer ours to release.
void endHold() {
    mouseState.capturedButton = kNoButton;
    holdWindow = nullptr;
}

bool holdStillCaptured() { return holdWindow && IsWindow(holdWindow) && GetCapture() == holdWindow; }

}  // namespace

int32_t pumpMouseMessages() {
    MSG message;
    if (PeekMessageA(&message, nullptr, kFirstMouseMessage, kLastMouseMessage, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (mouseState.capturedButton != kNoButton && !holdStillCaptured()) endHold();
    return mouseState.capturedButton;
}

PixelPoint getMousePosition() { return PixelPoint{mouseState.x, mouseState.y}; }

// The coordinates are signed 16-bit words: a captured drag that leaves the
// window to the left or above reports negative ones.
void recordMousePosition(LPARAM position) {
    mouseState.x = static_cast<int16_t>(static_cast<uint32_t>(position) & 0xFFFF);
    mouseState.y = static_cast<int16_t>((static_cast<uint32_t>(position) >> 16) & 0xFFFF);
}

void recordButtonPress(HWND window, LPARAM position, int32_t button) {
    recordMousePosition(position);
    mouseState.capturedButton = button;
    holdWindow = window;
    SetCapture(window);
}

// Only the release of the held button ends a hold.
void recordButtonRelease(int32_t button) {
    if (mouseState.capturedButton != button) return;
    endHold();
    ReleaseCapture();
}

// A host dialog, a switch to another program or the window's destruction
// takes the capture away in the middle of a hold.
void recordCaptureLost(HWND window, HWND newOwner) {
    if (mouseState.capturedButton == kNoButton || window != holdWindow || newOwner == window) return;
    endHold();
}
