// Mouse capture, kept per thread as on Windows. Headless there is no
// pointer: capture changes no routing, only the answers and
// WM_CAPTURECHANGED. A window with a twin on a screen grabs the real pointer.
#include "MessageDelivery.h"
#include "NativeWindows.h"

using namespace platform;

namespace {

// Replaces the calling thread's capture window and tells the one that
// loses it; returns the previous one.
HWND changeCapture(HWND window) {
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    HWND previous;
    {
        SystemLock lock(system.mutex);
        previous = system.window(queue.capture) ? queue.capture : nullptr;
        queue.capture = window;
    }
    if (previous && previous != window) SendMessageA(previous, WM_CAPTURECHANGED, 0, LPARAM(window));
    return previous;
}

}  // namespace

HWND WINAPI SetCapture(HWND handle) {
    System& system = System::instance();
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window || window->queue != &currentQueue()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }
    HWND previous = changeCapture(handle);
    NativeWindows::grabPointer(handle);
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    HWND previous = GetCapture();
    NativeWindows::releasePointer(previous);
    changeCapture(nullptr);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    SystemLock lock(system.mutex);
    return system.window(queue.capture) ? queue.capture : nullptr;
}
