// Update regions and the paint cycle.
#include "DeviceContexts.h"
#include "MessageDelivery.h"
#include "NativeWindows.h"
#include "WindowTree.h"

using namespace platform;

namespace {

bool badWindow() {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

void invalidateEverything(System& system) {
    for (HWND top : system.topLevelWindows) {
        Window* window = system.window(top);
        WindowTree::invalidate(system, *window, WindowTree::wholeClient(*window), true, true);
    }
}

void releasePaintContext(HDC handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    DeviceContext* context = system.deviceContext(handle);
    if (context && context->kind == DcKind::paint) system.gdiObjects.remove(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace

BOOL WINAPI InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    if (!handle) {
        invalidateEverything(system);
        return TRUE;
    }
    Window* window = system.window(handle);
    if (!window) return badWindow();
    WindowTree::invalidate(system, *window, rect ? *rect : WindowTree::wholeClient(*window), erase != FALSE,
                           false);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND handle, const RECT* rect) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    if (!handle) {
        // Windows repaints every window when asked to validate none.
        invalidateEverything(system);
        return TRUE;
    }
    Window* window = system.window(handle);
    if (!window) return badWindow();
    WindowTree::validate(system, *window, rect ? *rect : WindowTree::wholeClient(*window));
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND handle, LPRECT rect, BOOL erase) {
    System& system = System::instance();
    HDC context = nullptr;
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window) return badWindow();
        if (rect) *rect = window->update.bounds();
        if (window->update.empty()) return FALSE;
        if (!erase || !window->eraseNeeded) return TRUE;
        context = createWindowContext(system, handle, DcKind::paint, &window->update);
        if (!context) return TRUE;
    }
    LRESULT erased = SendMessageA(handle, WM_ERASEBKGND, WPARAM(context), 0);
    releasePaintContext(context);
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    if (window && erased) window->eraseNeeded = false;
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND handle) {
    System& system = System::instance();
    std::vector<HWND> tree;
    {
        SystemLock lock(system.mutex);
        if (!system.window(handle)) return badWindow();
        WindowTree::collectPreOrder(system, handle, tree);
    }
    for (HWND member : tree) {
        bool needsPaint;
        {
            SystemLock lock(system.mutex);
            Window* window = system.window(member);
            needsPaint = window && !window->update.empty() && WindowTree::visibleOnScreen(system, *window);
        }
        if (needsPaint) SendMessageA(member, WM_PAINT, 0, 0);
    }
    return TRUE;
}

HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    if (!paint) return nullptr;
    System& system = System::instance();
    HDC context;
    bool erase;
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window) {
            badWindow();
            return nullptr;
        }
        // The whole update region is validated now; the context draws only
        // into what was invalid.
        Region clip = window->update;
        erase = window->eraseNeeded;
        window->update.clear();
        window->eraseNeeded = false;
        context = createWindowContext(system, handle, DcKind::paint, &clip);
        if (!context) return nullptr;
        *paint = PAINTSTRUCT{};
        paint->hdc = context;
        paint->rcPaint = clip.bounds();
    }
    paint->fErase = erase && !SendMessageA(handle, WM_ERASEBKGND, WPARAM(context), 0);
    return context;
}

BOOL WINAPI EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    if (!paint) return TRUE;
    releasePaintContext(paint->hdc);
    // What was painted is shown even where the paint left the pixels as
    // they were: the screen may have lost them.
    System& system = System::instance();
    SystemLock lock(system.mutex);
    if (Window* window = system.window(handle)) NativeWindows::markChanged(*window, paint->rcPaint);
    return TRUE;
}
