// The LV2 UI library as a Linux host loads it: opened with dlopen, its UI
// instantiated in a host window on the X display (ui:parent), served from
// the host's idle, and told of port changes; what it writes to the ports is
// recorded. Every call runs on the host's user-interface thread.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/ui/ui.h>
#include <xcb/xcb.h>

#include <mutex>
#include <vector>

#include "HostGuiThread.h"
#include "TestDisplay.h"
#include "tests/lv2/Lv2TestHost.h"

// What the UI asked of the host, in order: a port write, or a touch gesture
// begun or ended on a port.
struct PortWrite {
    enum class Touch { none, grabbed, released };

    uint32_t port;
    uint32_t format;  // 0: a float; otherwise an atom's transfer
    std::vector<uint8_t> bytes;
    Touch touch = Touch::none;

    float reading() const;
    const LV2_Atom* atom() const { return reinterpret_cast<const LV2_Atom*>(bytes.data()); }
};

class UiOnDisplay {
public:
    UiOnDisplay(TestDisplay& display, HostGuiThread& gui, UridTable& urids, int32_t x, int32_t y);
    // Closes the UI if it is open, then destroys the host window.
    ~UiOnDisplay();

    // Offers the UI the host's touch gestures (ui:touch) at the next open.
    void offerTouch() { touchOffered = true; }
    bool open();
    void idle();
    void close();
    bool isOpen() const { return handle != nullptr; }

    void portEvent(uint32_t port, float reading);
    void portEvent(uint32_t port, const LV2_Atom* atom);
    std::vector<PortWrite> takeWrites();

    xcb_window_t window() const { return hostWindow; }
    uintptr_t widget() const { return uiWidget; }
    int resizedWidth() const { return width; }
    int resizedHeight() const { return height; }
    // The host destroys its window while the UI is still open.
    void destroyWindowFirst();

private:
    static void writePort(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    static int resize(LV2UI_Feature_Handle handle, int width, int height);
    static void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed);
    void record(PortWrite write);

    TestDisplay& display;
    HostGuiThread& gui;
    UridTable& urids;
    xcb_window_t hostWindow = 0;
    LV2UI_Handle handle = nullptr;
    uintptr_t uiWidget = 0;
    int width = 0;
    int height = 0;
    bool touchOffered = false;
    LV2UI_Touch touchFeature;
    std::mutex writesLock;
    std::vector<PortWrite> writes;
};
