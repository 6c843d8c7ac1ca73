// The windows the toolkit tests draw into and drive: one host window for the
// whole program (Wine takes seconds to destroy a window on the screen), and
// children of the generic window class inside it, whose client objects stand
// in for the panel.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "CapturedImage.h"
#include "MouseMessages.h"
#include "gui/PixelGeometry.h"
#include "gui/WindowClient.h"

// The host window, and what its procedure has been sent from its children.
HWND testHostWindow();
// Another host window of the same class, on the calling thread.
HWND createTestHostWindow(const PixelRect& rect);
struct HostLog {
    int wheelMessages = 0;
    int contextMenus = 0;
};
HostLog& hostLog();

// Stands in for the panel: counts what the window procedure calls and hands
// presses and paints to the test.
class TestClient : public WindowClient {
public:
    void draw() override {
        ++draws;
        if (onDraw) onDraw();
    }
    void onKey(int32_t keyCode) override { keys.push_back(keyCode); }
    void onMouseDown(int32_t x, int32_t y) override {
        presses.push_back(PixelPoint{x, y});
        if (onPress) onPress(x, y);
    }

    std::function<void()> onDraw;
    std::function<void(int32_t, int32_t)> onPress;
    int draws = 0;
    std::vector<int32_t> keys;
    std::vector<PixelPoint> presses;
};

// A child of the generic class in the host window (or another), made with
// createChildWindow; destroyed with the object.
class ClientWindow {
public:
    static constexpr PixelRect kPanelArea = {0, 0, 304, 119};

    explicit ClientWindow(WindowClient* client, const PixelRect& rect = kPanelArea, HWND parent = testHostWindow());
    ~ClientWindow();
    ClientWindow(const ClientWindow&) = delete;
    ClientWindow& operator=(const ClientWindow&) = delete;

    HWND handle() const { return window; }
    void press(int32_t x, int32_t y, MouseButton button = MouseButton::Left) const { postPress(window, x, y, button); }
    void move(int32_t x, int32_t y, MouseButton held = MouseButton::Left) const { postMove(window, x, y, held); }
    void release(int32_t x, int32_t y, MouseButton button = MouseButton::Left) const {
        postRelease(window, x, y, button);
    }
    // Press and release at one point, both queued before either is handled.
    void click(int32_t x, int32_t y) const;
    CapturedImage capture() const;

private:
    HWND window = nullptr;
};
