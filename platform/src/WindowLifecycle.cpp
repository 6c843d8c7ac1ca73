// Creating, showing and destroying windows, with the messages Windows sends
// on the way.
#include "FrameMetrics.h"
#include "MessageDelivery.h"
#include "NativeWindows.h"
#include "WindowClasses.h"
#include "WindowTree.h"

#include <algorithm>

using namespace platform;

namespace {

constexpr int maxCoordinate = 32767;
constexpr int minCoordinate = -32768;
constexpr DWORD tooManyWindows = ERROR_NOT_ENOUGH_MEMORY;
constexpr DWORD topLevelChildError = 1406;  // ERROR_TLW_WITH_WSCHILD

struct Placement {
    int x, y, width, height;
};

// Sizes as Windows settles them before the window exists: defaults for
// CW_USEDEFAULT, the tracking limits for sizable and overlapped windows,
// nothing negative or beyond the coordinate range.
Placement settlePlacement(DWORD style, int x, int y, int width, int height) {
    bool overlapped = !(style & (WS_POPUP | WS_CHILD));
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = overlapped ? GetSystemMetrics(SM_CXSCREEN) * 3 / 4 : 0;
        height = overlapped ? GetSystemMetrics(SM_CYSCREEN) * 3 / 4 : 0;
    }
    if ((style & WS_THICKFRAME) || overlapped) {
        width = std::min(width, GetSystemMetrics(SM_CXMAXTRACK));
        height = std::min(height, GetSystemMetrics(SM_CYMAXTRACK));
        width = std::max(width, GetSystemMetrics(SM_CXMINTRACK));
        height = std::max(height, GetSystemMetrics(SM_CYMINTRACK));
    }
    // Window coordinates are 16-bit quantities on Windows.
    x = std::min(std::max(x, minCoordinate), maxCoordinate);
    y = std::min(std::max(y, minCoordinate), maxCoordinate);
    width = std::min(std::max(width, 0), maxCoordinate);
    height = std::min(std::max(height, 0), maxCoordinate);
    return Placement{x, y, width, height};
}

HWND fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// Sets up the window record and links it in; the window procedure hears of
// it only after this.
HWND addWindow(System& system, WindowClass& windowClass, DWORD exStyle, DWORD style,
               const Placement& placement, HWND parent, HWND owner, HMENU menu, HINSTANCE instance) {
    std::unique_ptr<Window> window(new Window);
    window->windowClass = &windowClass;
    window->queue = &currentQueue();
    window->procedure = windowClass.procedure;
    window->style = style & ~DWORD(WS_VISIBLE);  // shown once created
    window->exStyle = exStyle;
    window->parent = parent;
    window->owner = owner;
    window->rect = RECT{placement.x, placement.y, placement.x + placement.width,
                        placement.y + placement.height};
    RECT frame = frameThickness(style, exStyle, false);
    window->client = RECT{frame.left, frame.top, std::max(frame.left, placement.width - frame.right),
                          std::max(frame.top, placement.height - frame.bottom)};
    window->instance = instance;
    window->id = (style & WS_CHILD) ? LONG_PTR(reinterpret_cast<uintptr_t>(menu)) : 0;
    window->extraBytes.assign(size_t(windowClass.windowExtraBytes), 0);
    window->sizeNotSent = !(style & (WS_CHILD | WS_POPUP));
    // A window too large for memory still exists; it just shows nothing.
    window->surface = PixelBuffer::create(window->clientWidth(), window->clientHeight(), 32, true);

    Window* record = window.get();
    HWND handle = reinterpret_cast<HWND>(system.windows.add(HandleKind::window, std::move(window)));
    if (!handle) return nullptr;
    record->handle = handle;
    ++windowClass.windowCount;
    if (parent) {
        // New children go to the bottom of the z-order, new top-level
        // windows to the top.
        system.window(parent)->children.push_back(handle);
    } else {
        system.topLevelWindows.insert(system.topLevelWindows.begin(), handle);
    }
    return handle;
}

void notifyParents(HWND child, UINT event) {
    System& system = System::instance();
    std::vector<std::pair<HWND, WPARAM>> chain;
    {
        SystemLock lock(system.mutex);
        const Window* window = system.window(child);
        while (window && window->isChild() && !(window->exStyle & WS_EX_NOPARENTNOTIFY)) {
            chain.emplace_back(window->parent, MAKEWPARAM(event, window->id));
            window = system.window(window->parent);
        }
    }
    for (const auto& link : chain) SendMessageA(link.first, WM_PARENTNOTIFY, link.second, LPARAM(child));
}

void sendSizeAndMove(HWND handle) {
    System& system = System::instance();
    LPARAM size, position;
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window) return;
        window->sizeNotSent = false;
        size = MAKELPARAM(window->clientWidth(), window->clientHeight());
        position = MAKELPARAM(window->rect.left + window->client.left, window->rect.top + window->client.top);
    }
    SendMessageA(handle, WM_SIZE, SIZE_RESTORED, size);
    SendMessageA(handle, WM_MOVE, 0, position);
}

void abandonWindow(HWND handle) {
    if (!IsWindow(handle)) return;
    SendMessageA(handle, WM_NCDESTROY, 0, 0);
    System& system = System::instance();
    {
        SystemLock lock(system.mutex);
        WindowTree::removeSilently(system, handle);
    }
    NativeWindows::settle();
}

bool isWindow(HWND handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    return system.window(handle) != nullptr;
}

}  // namespace

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    System& system = System::instance();
    HWND parentArgument = parent;
    HWND handle;
    {
        SystemLock lock(system.mutex);
        WindowClass* windowClass = findClass(system, instance, className);
        if (!windowClass) return fail(ERROR_CANNOT_FIND_WND_CLASS);
        HWND owner = nullptr;
        if (style & WS_CHILD) {
            if (!parent) return fail(topLevelChildError);
            Window* parentWindow = system.window(parent);
            if (!parentWindow) return fail(ERROR_INVALID_WINDOW_HANDLE);
            // Children live on their parent's thread here.
            if (parentWindow->queue != &currentQueue()) return fail(ERROR_WINDOW_OF_OTHER_THREAD);
        } else {
            if (menu) return fail(ERROR_INVALID_MENU_HANDLE);  // there are no menus
            if (parent) {
                // The owner of a top-level window is always a top-level window.
                owner = WindowTree::topLevelAncestor(system, parent);
                if (!owner) return fail(ERROR_INVALID_WINDOW_HANDLE);
            }
            parent = nullptr;
        }
        Placement placement = settlePlacement(style, x, y, width, height);
        handle = addWindow(system, *windowClass, exStyle, style, placement, parent, owner,
                           menu, instance);
        if (!handle) return fail(tooManyWindows);
    }
    NativeWindows::mirrorNewWindow(handle);

    CREATESTRUCTA creation = {param, instance, menu, parentArgument, height, width, y, x, LONG(style),
                              windowName, className, exStyle};
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        creation.cx = window->rect.right - window->rect.left;
        creation.cy = window->rect.bottom - window->rect.top;
        creation.x = window->rect.left;
        creation.y = window->rect.top;
    }
    // A procedure that refuses creation hears only of the window's end.
    if (!SendMessageA(handle, WM_NCCREATE, 0, LPARAM(&creation)) ||
        SendMessageA(handle, WM_CREATE, 0, LPARAM(&creation)) == -1) {
        abandonWindow(handle);
        return nullptr;
    }
    // Overlapped windows report their size when first shown, others now.
    if (style & (WS_CHILD | WS_POPUP)) sendSizeAndMove(handle);
    notifyParents(handle, WM_CREATE);
    if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return isWindow(handle) ? handle : nullptr;
}

BOOL WINAPI ShowWindow(HWND handle, int command) {
    System& system = System::instance();
    bool show = command != SW_HIDE;
    bool wasVisible;
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasVisible = (window->style & WS_VISIBLE) != 0;
        if (show == wasVisible) return wasVisible;
    }
    SendMessageA(handle, WM_SHOWWINDOW, show, 0);
    bool reportSize = false;
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window) return wasVisible;
        if (show) {
            window->style |= WS_VISIBLE;
            WindowTree::invalidate(system, *window, WindowTree::wholeClient(*window), true, true);
            reportSize = window->sizeNotSent;
        } else {
            window->style &= ~DWORD(WS_VISIBLE);
            WindowTree::exposeParent(system, *window);
        }
    }
    NativeWindows::showTwin(handle);
    if (reportSize) sendSizeAndMove(handle);
    return wasVisible;
}

BOOL WINAPI DestroyWindow(HWND handle) {
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    bool hadCapture;
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window || window->destroying) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (window->queue != &queue) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        std::vector<HWND> tree;
        WindowTree::collectPreOrder(system, handle, tree);
        for (HWND member : tree) system.window(member)->destroying = true;
        hadCapture = queue.capture &&
                     (queue.capture == handle || WindowTree::isAncestor(system, handle, queue.capture));
    }
    notifyParents(handle, WM_DESTROY);
    if (hadCapture) ReleaseCapture();

    std::vector<HWND> owned;
    {
        SystemLock lock(system.mutex);
        Window* window = system.window(handle);
        if (!window) return TRUE;
        if (window->style & WS_VISIBLE) {
            window->style &= ~DWORD(WS_VISIBLE);
            WindowTree::exposeParent(system, *window);
        }
        for (HWND top : system.topLevelWindows) {
            Window* candidate = system.window(top);
            if (candidate->owner == handle) owned.push_back(top);
        }
    }
    // Owned windows go first, each with its own messages.
    for (HWND ownedWindow : owned) DestroyWindow(ownedWindow);

    std::vector<HWND> tree;
    {
        SystemLock lock(system.mutex);
        WindowTree::collectPreOrder(system, handle, tree);
    }
    // WM_DESTROY reaches parents before children, WM_NCDESTROY children
    // before parents; a window is gone once its WM_NCDESTROY returns.
    for (HWND member : tree) {
        if (isWindow(member)) SendMessageA(member, WM_DESTROY, 0, 0);
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        if (!isWindow(*it)) continue;
        SendMessageA(*it, WM_NCDESTROY, 0, 0);
        SystemLock lock(system.mutex);
        WindowTree::removeSilently(system, *it);
    }
    NativeWindows::settle();
    return TRUE;
}
