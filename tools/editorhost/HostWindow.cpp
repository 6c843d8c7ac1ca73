#include "HostWindow.h"

namespace {

const char* const kHostWindowClass = "ZQ3RHostWindow";
constexpr DWORD kHostStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kHostX = 40;
constexpr int kHostY = 40;

void registerHostWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kHostWindowClass;
    RegisterClassA(&windowClass);  // fails harmlessly once registered
}

}  // namespace

HostWindow::HostWindow(int32_t clientWidth, int32_t clientHeight) {
    registerHostWindowClass();
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, kHostStyle, FALSE, 0);
    window = CreateWindowExA(0, kHostWindowClass, "ZQ3R Compressor", kHostStyle, kHostX, kHostY,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (window) ShowWindow(window, SW_SHOWNORMAL);
}

HostWindow::~HostWindow() { destroy(); }

HWND HostWindow::handle() const { return window && IsWindow(window) ? window : nullptr; }

HWND HostWindow::editorWindow() const {
    HWND host = handle();
    return host ? GetWindow(host, GW_CHILD) : nullptr;
}

void HostWindow::destroy() {
    if (window && IsWindow(window)) DestroyWindow(window);
    window = nullptr;
}
