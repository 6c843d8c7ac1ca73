#include "HoldProbe.h"

#include <gtest/gtest.h>

namespace {

const char* const kProbeClass = "ZQ3RHoldProbe";
constexpr UINT kActionMessage = WM_APP;

}  // namespace

// Hidden, so that it costs Wine no window on the screen.
HoldProbe::HoldProbe() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kProbeClass;
        registered = RegisterClassA(&windowClass) != 0;
    }
    window = CreateWindowExA(0, kProbeClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    EXPECT_NE(window, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HoldProbe::~HoldProbe() {
    if (window) DestroyWindow(window);
}

void HoldProbe::post(std::function<void()> action) {
    actions.push_back(std::move(action));
    PostMessageA(window, kActionMessage, 0, static_cast<LPARAM>(actions.size() - 1));
}

LRESULT CALLBACK HoldProbe::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HoldProbe* probe = reinterpret_cast<HoldProbe*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kActionMessage && probe && size_t(lParam) < probe->actions.size()) {
        ++probe->done;
        probe->actions[size_t(lParam)]();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
