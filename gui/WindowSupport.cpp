#include "gui/WindowSupport.h"

#include "gui/MouseTracking.h"
#include "host/ModuleInstance.h"

const char* const kGenericWindowClass = "GenericWindowClass";

namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
// A dialog frame without caption bar, system menu or sizing border.
constexpr DWORD kPopupStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_DLGFRAME;

LRESULT paint(HWND window) {
    WindowClient* client = windowClientOf(window);
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    // The controls draw through device contexts of their own; the paint
    // cycle only validates the window.
    if (client) client->draw();
    EndPaint(window, &paint);
    return 0;
}

// Position, button and capture are all set before the client runs, so that
// a hold loop it starts finds them in place.
LRESULT pressButton(HWND window, LPARAM position, int32_t button) {
    WindowClient* client = windowClientOf(window);
    recordButtonPress(window, position, button);
    if (client) client->onMouseDown(mouseState.x, mouseState.y);
    return 0;
}

}  // namespace

WindowClient* windowClientOf(HWND window) {
    return reinterpret_cast<WindowClient*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void setWindowClient(HWND window, WindowClient* client) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(client));
}

void createChildWindow(WindowClient* client, HWND parent, HWND* window, const PixelRect& rect) {
    if (!moduleInstance) return;
    HWND created = CreateWindowExA(0, kGenericWindowClass, "", kChildStyle, rect.x, rect.y, rect.width,
                                   rect.height, parent, nullptr, moduleInstance, nullptr);
    if (!created) return;
    setWindowClient(created, client);
    *window = created;
}

void createPopupWindow(HWND owner, const PixelRect& clientRect, const char* title, HWND* window,
                       const char* className) {
    RECT frame = {clientRect.x, clientRect.y, clientRect.x + clientRect.width, clientRect.y + clientRect.height};
    AdjustWindowRectEx(&frame, kPopupStyle, FALSE, 0);
    if (!moduleInstance) return;
    *window = CreateWindowExA(0, className, title, kPopupStyle, frame.left, frame.top, frame.right - frame.left,
                              frame.bottom - frame.top, owner, nullptr, moduleInstance, nullptr);
}

BOOL destroyWindow(HWND window) {
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) return DestroyWindow(window);
    return PostMessageA(window, WM_CLOSE, 0, 0);
}

void registerModuleWindowClass(const char* className, WNDPROC procedure) {
    if (!moduleInstance) return;
    WNDCLASSA windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = moduleInstance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
}

void unregisterModuleWindowClass(const char* className) {
    if (!moduleInstance) return;
    UnregisterClassA(className, moduleInstance);
}

std::mutex& windowClassLock() {
    static std::mutex lock;
    return lock;
}

void registerWindowClass() { registerModuleWindowClass(kGenericWindowClass, windowProc); }

void unregisterWindowClass() { unregisterModuleWindowClass(kGenericWindowClass); }

PixelPoint getScreenCentre() {
    return PixelPoint{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        return paint(window);
    case WM_KEYDOWN:
        if (WindowClient* client = windowClientOf(window)) client->onKey(static_cast<int32_t>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        recordMousePosition(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        return pressButton(window, lParam, kLeftButton);
    case WM_LBUTTONUP:
        recordButtonRelease(kLeftButton);
        return 0;
    case WM_RBUTTONDOWN:
        return pressButton(window, lParam, kRightButton);
    case WM_RBUTTONUP:
        recordButtonRelease(kRightButton);
        return 0;
    case WM_CAPTURECHANGED:
        recordCaptureLost(window, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DESTROY:
        if (WindowClient* client = windowClientOf(window)) client->windowDestroyed();
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
