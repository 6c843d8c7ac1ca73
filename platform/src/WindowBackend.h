// The one seam between our windows and a real window system. Our windows
// keep their own surfaces and queues whatever the backend; a backend only
// gives some of them a native twin on a screen: it creates and destroys
// native windows, receives their pixels, reports their input, grabs the
// pointer and knows the screen's size.
//
// The headless backend is the stub: it has no screen and no windows, and any
// thread may use it. The X11 backend serves the windows under a window a host
// hands us; each thread with such windows has one of its own, which only that
// thread calls, so it needs no lock of its own. No backend is called while the
// window system's lock is held, so a backend waiting on its server never
// holds up another thread's drawing (the meter's, on the audio thread).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// A window of the backend's system; 0 names none.
using NativeWindow = uint32_t;

struct NativeEvent {
    enum class Kind { exposed, buttonPressed, buttonReleased, pointerMoved, destroyed };
    Kind kind;
    NativeWindow window;
    RECT area;       // exposed: what must be drawn again, in the window's coordinates
    POINT position;  // pointer events: in the window's coordinates
    int button;      // pressed and released: 1 left, 2 middle, 3 right
    WPARAM keys;     // pointer events: the MK_ flags that hold once the event is over
};

class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    // Whether window is a live window of the host's; its client area on the
    // screen. From then on its destruction is reported.
    virtual bool adoptForeign(NativeWindow window, RECT* onScreen) = 0;
    // No longer reports anything of a host's window that still exists.
    virtual void releaseForeign(NativeWindow window) = 0;

    // A hidden window at rect inside parent (in the parent's coordinates);
    // 0 when it cannot be made.
    virtual NativeWindow createChild(NativeWindow parent, const RECT& rect) = 0;
    // A hidden top-level window at rect on the screen, kept above owner.
    virtual NativeWindow createTopLevel(NativeWindow owner, const RECT& rect) = 0;
    virtual void showWindow(NativeWindow window, bool show) = 0;
    virtual void destroyWindow(NativeWindow window) = 0;

    // Shows pixels (0x00RRGGBB, rows of rect's width, top row first) at rect.
    virtual void pushPixels(NativeWindow window, const RECT& rect, const uint32_t* pixels) = 0;
    // Appends what has happened since the last call; never waits.
    virtual void readInput(std::vector<NativeEvent>& events) = 0;
    // Returns when input may have arrived, or after the given time.
    virtual void waitForInput(int milliseconds) = 0;
    // Sends what has been asked so far.
    virtual void flush() = 0;

    // Pointer events go to window, wherever the pointer is, until released.
    virtual bool grabPointer(NativeWindow window) = 0;
    virtual void releasePointer() = 0;

    virtual SIZE screenSize() const = 0;
};

// The backend of windows that nothing shows.
std::unique_ptr<WindowBackend> createHeadlessBackend();
// The backend of the display that hosts hand us windows of; null when no
// display can be reached or it cannot show our pixels.
std::unique_ptr<WindowBackend> connectHostDisplay();

}  // namespace platform
