// The test host's own side of the X display: its top-level windows, what the
// screen shows in them, the tree of windows, and the real pointer moved and
// pressed through XTest as a person would.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CapturedImage.h"

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

struct WindowPlace {
    int32_t x, y, width, height;  // x and y on the screen
};

class TestDisplay {
public:
    TestDisplay();
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    bool isConnected() const { return screen != nullptr; }
    int32_t screenWidth() const { return screen->width_in_pixels; }
    int32_t screenHeight() const { return screen->height_in_pixels; }

    // A mapped top-level window of this client size at (x, y), as a host
    // makes one for a plug-in's editor.
    xcb_window_t createHostWindow(int32_t x, int32_t y, int32_t width, int32_t height);
    // A mapped window inside parent (a root or any other window).
    xcb_window_t createWindowIn(xcb_window_t parent, int32_t x, int32_t y, int32_t width, int32_t height);
    // Marks the window as one a window manager manages (WM_STATE), as a
    // window manager marks the top-level windows it frames.
    void markManaged(xcb_window_t window);
    int screenCount() const;
    xcb_window_t rootOf(int screenNumber) const;
    xcb_window_t createPixmap();
    // An id no window of the display has.
    xcb_window_t unusedId() { return xcb_generate_id(connection); }
    void destroyWindow(xcb_window_t window);

    std::vector<xcb_window_t> children(xcb_window_t window);
    // The top-level windows of every screen.
    std::vector<xcb_window_t> topLevelWindows();
    // The top-level window kept above owner, or 0.
    xcb_window_t transientFor(xcb_window_t owner);
    // x and y on the window's own screen.
    WindowPlace placeOf(xcb_window_t window);
    // The size of the screen the window is on.
    WindowPlace screenOf(xcb_window_t window);
    // What the screen shows in the window; empty when it cannot be read.
    CapturedImage read(xcb_window_t window);

    // The real pointer, at a point of a window.
    void movePointer(xcb_window_t window, int32_t x, int32_t y);
    void pressButton(int button);
    void releaseButton(int button);
    // Whether no client holds the pointer grabbed: found by grabbing it for
    // a moment.
    bool pointerIsFree();
    // Waits until the server has done everything asked so far.
    void sync();

private:
    xcb_atom_t atom(const char* name);

    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;
};
