#include "gui/MouseTracking.h"

MouseState mouseState = {0, 0, kNoButton};

namespace {

// WM_MOUSEFIRST up to the middle button's double click; the wheel lies outside.
constexpr UINT kFirstMouseMessage = 0x0200;
constexpr UINT kLastMouseMessage = 0x0209;

}  // namespace

int32_t pumpMouseMessages() {
    MSG message;
    if (PeekMessageA(&message, nullptr, kFirstMouseMessage, kLastMouseMessage, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
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
    SetCapture(window);
}

// Only the release of the held button ends a hold.
void recordButtonRelease(int32_t button) {
    if (mouseState.capturedButton != button) return;
    mouseState.capturedButton = kNoButton;
    ReleaseCapture();
}
