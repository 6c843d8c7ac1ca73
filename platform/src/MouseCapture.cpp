// Mouse capture, kept per thread as on Windows. There is no pointer here:
// capture changes no routing, only the answers and WM_CAPTURECHANGED.
#include "MessageDelivery.h"

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
    return changeCapture(handle);
}

BOOL WINAPI ReleaseCapture(void) {
    changeCapture(nullptr);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    SystemLock lock(system.mutex);
    return system.window(queue.capture) ? queue.capture : nullptr;
}
