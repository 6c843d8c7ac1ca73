// What a window does with the messages its procedure leaves to the system.
#include "MessageDelivery.h"
#include "WindowTree.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

using namespace platform;

namespace {

LRESULT setText(HWND handle, const char* text) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    if (!window) return FALSE;
    window->text = text ? text : "";
    return TRUE;
}

LRESULT copyText(HWND handle, size_t capacity, char* buffer) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    if (!window || !buffer || capacity == 0) return 0;
    size_t count = std::min(window->text.size(), capacity - 1);
    std::memcpy(buffer, window->text.data(), count);
    buffer[count] = '\0';
    return LRESULT(count);
}

LRESULT textLength(HWND handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    return window ? LRESULT(window->text.size()) : 0;
}

HWND parentOfChild(HWND handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    return window && window->isChild() ? window->parent : nullptr;
}

// Fills the update area with the class background brush; false without one.
LRESULT eraseBackground(HWND handle, HDC context) {
    HBRUSH brush;
    RECT client;
    {
        System& system = System::instance();
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window || !window->windowClass->background) return 0;
        brush = window->windowClass->background;
        client = WindowTree::wholeClient(*window);
    }
    FillRect(context, &client, brush);
    return 1;
}

LRESULT contextMenuAt(HWND handle, LPARAM clientPosition) {
    POINT point = {GET_X_LPARAM(clientPosition), GET_Y_LPARAM(clientPosition)};
    ClientToScreen(handle, &point);
    return SendMessageA(handle, WM_CONTEXTMENU, WPARAM(handle), MAKELPARAM(point.x, point.y));
}

}  // namespace

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const CREATESTRUCTA* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (creation) setText(window, creation->lpszName);
        return TRUE;
    }
    case WM_SETTEXT:
        return setText(window, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT:
        return copyText(window, size_t(wParam), reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
        return textLength(window);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (BeginPaint(window, &paint)) EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return eraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_RBUTTONUP:
        return contextMenuAt(window, lParam);
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        // Children pass these up until a window takes them.
        HWND parent = parentOfChild(window);
        return parent ? SendMessageA(parent, message, wParam, lParam) : 0;
    }
    default:
        return 0;
    }
}
