#include "GuiTestWindows.h"

#include <gtest/gtest.h>

#include "WindowCapture.h"
#include "gui/MouseTracking.h"
#include "gui/WindowSupport.h"

namespace {

const char* const kHostClass = "ZQ3RGuiTestHost";
HWND hostWindow = nullptr;

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) {
        ++hostLog().wheelMessages;
        return 0;
    }
    if (message == WM_CONTEXTMENU) ++hostLog().contextMenus;
    return DefWindowProcA(window, message, wParam, lParam);
}

// The generic class is registered for the whole program, as an open panel
// would register it, and the host window sits on the screen away from the
// pointer of the Wine tests' virtual screen.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        registerWindowClass();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = hostProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kHostClass;
        RegisterClassA(&windowClass);
        hostWindow = createTestHostWindow(PixelRect{40, 40, 400, 200});
        settleMessages();
    }

    void TearDown() override {
        if (hostWindow) DestroyWindow(hostWindow);
        hostWindow = nullptr;
        settleMessages();
        UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
        unregisterWindowClass();
    }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace

HWND testHostWindow() { return hostWindow; }

HWND createTestHostWindow(const PixelRect& rect) {
    return CreateWindowExA(0, kHostClass, "GUI tests", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rect.x, rect.y,
                           rect.width, rect.height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HostLog& hostLog() {
    static HostLog log;
    return log;
}

ClientWindow::ClientWindow(WindowClient* client, const PixelRect& rect, HWND parent) {
    createChildWindow(client, parent, &window, rect);
    EXPECT_NE(window, nullptr);
    settleMessages();
}

ClientWindow::~ClientWindow() {
    if (window) DestroyWindow(window);
    settleMessages();
}

void ClientWindow::click(int32_t x, int32_t y) const {
    press(x, y);
    release(x, y);
}

CapturedImage ClientWindow::capture() const { return captureWindow(window); }
