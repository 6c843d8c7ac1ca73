// Mouse messages as the system posts them to a window: client coordinates in
// the signed 16-bit words of lParam, the held buttons in wParam.
#pragma once

#include <windows.h>

#include <cstdint>

enum class MouseButton { Left, Right };

inline LPARAM pointParameter(int32_t x, int32_t y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)), static_cast<WORD>(static_cast<int16_t>(y)));
}

inline void postPress(HWND window, int32_t x, int32_t y, MouseButton button = MouseButton::Left) {
    const bool left = button == MouseButton::Left;
    PostMessageA(window, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, left ? MK_LBUTTON : MK_RBUTTON,
                 pointParameter(x, y));
}

inline void postMove(HWND window, int32_t x, int32_t y, MouseButton held = MouseButton::Left) {
    PostMessageA(window, WM_MOUSEMOVE, held == MouseButton::Left ? MK_LBUTTON : MK_RBUTTON, pointParameter(x, y));
}

inline void postRelease(HWND window, int32_t x, int32_t y, MouseButton button = MouseButton::Left) {
    PostMessageA(window, button == MouseButton::Left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, pointParameter(x, y));
}

// Dispatches every message waiting for this thread, paints included.
inline void settleMessages() {
    MSG message;
    for (int i = 0; i < 100000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
