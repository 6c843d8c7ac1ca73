#include "gui/WindowSupport.h"

#include "gui/MouseTracking.h"
#include "host/ModuleInstance.h"

#include <new>

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

// WM_MOUSEFIRST up to the middle button's double click; the wheel lies outside.
constexpr UINT kFirstMouseMessage = 0x0200;
constexpr UINT kLastMouseMessage = 0x0209;

// Position, button and capture are all set before the client runs, so that
// a hold it begins finds them in place.
LRESULT pressButton(HWND window, LPARAM position, int32_t button) {
    WindowClient* client = windowClientOf(window);
    recordButtonPress(window, position, button);
    const PixelPoint point = pointOfMessage(position);
    if (client) client->onMouseDown(point.x, point.y);
    return 0;
}

// Handled releases do not reach the default procedure, which would turn a
// right release into a context menu request for the host.
LRESULT mouseMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
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

namespace {
// Constructed while the module loads, before any editor, and never
// destroyed: at process exit the C++ runtime destroys namespace-scope objects
// before the library's unload hook runs, and that hook still takes this lock
// to unregister the window classes.
alignas(ThreadLock) unsigned char windowClassLockStorage[sizeof(ThreadLock)];
ThreadLock& windowClasses = *new (windowClassLockStorage) ThreadLock;
}  // namespace

ThreadLock& windowClassLock() { return windowClasses; }

void registerWindowClass() { registerModuleWindowClass(kGenericWindowClass, windowProc); }

void unregisterWindowClass() { unregisterModuleWindowClass(kGenericWindowClass); }

PixelPoint getScreenCentre() {
    return PixelPoint{GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= kFirstMouseMessage && message <= kLastMouseMessage) {
        const LRESULT result = mouseMessage(window, message, wParam, lParam);
        // Every mouse message, of whichever button, carries a held control
        // one pass further; the press that began the hold makes the first.
        continueHold();
        return result;
    }
    switch (message) {
    case WM_PAINT:
        return paint(window);
    case WM_KEYDOWN:
        if (WindowClient* client = windowClientOf(window)) client->onKey(static_cast<int32_t>(wParam));
        return 0;
    case WM_CAPTURECHANGED:
        recordCaptureLost(window, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DESTROY:
        if (WindowClient* client = windowClientOf(window)) client->windowDestroyed();
        // After the client has let go of the window: what a control does at
        // the end of its hold then draws nothing into it.
        recordWindowDestroyed(window);
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
