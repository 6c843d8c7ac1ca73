// What the window system keeps for one window and one window class.
#pragma once

#include "PixelBuffer.h"
#include "Region.h"
#include "WindowBackend.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class MessageQueue;

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int windowExtraBytes = 0;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    int windowCount = 0;
};

struct Window {
    HWND handle = nullptr;
    WindowClass* windowClass = nullptr;
    MessageQueue* queue = nullptr;  // of the thread that created the window
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // set for child windows only
    HWND owner = nullptr;   // set for owned top-level windows only
    std::vector<HWND> children;  // in z-order, topmost first
    RECT rect = {};    // in the parent's client coordinates, or on the screen
    RECT client = {};  // the client area, relative to the window's top-left corner
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::vector<uint8_t> extraBytes;
    std::string text;
    Region update;
    bool eraseNeeded = false;
    bool sizeNotSent = false;  // overlapped windows report their size when first shown
    bool destroying = false;
    std::unique_ptr<PixelBuffer> surface;
    // Its native window where a backend shows it; for a window a host
    // handed us, the host's own window, which we never destroy.
    NativeWindow twin = 0;
    bool twinShown = false;  // mapped on the screen; follows WS_VISIBLE on the owning thread
    bool hostWindow = false;
    // Handed out and not yet served: kept even while nothing of ours is in
    // it, as an editor that opens again first closes what it had there.
    bool adopting = false;
    RECT unpushed = {};  // surface pixels the twin does not show yet

    bool isChild() const { return (style & WS_CHILD) != 0; }
    int clientWidth() const { return client.right - client.left; }
    int clientHeight() const { return client.bottom - client.top; }
};

}  // namespace platform
