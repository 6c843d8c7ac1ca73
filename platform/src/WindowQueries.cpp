// Questions about windows: existence, geometry, relations, searches, text.
#include "MessageDelivery.h"
#include "WindowClasses.h"
#include "WindowTree.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

using namespace platform;

namespace {

// Runs query on the window under the lock; false for a bad handle.
template <class Query>
bool withWindow(HWND handle, Query query) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    query(system, *window);
    return true;
}

}  // namespace

BOOL WINAPI IsWindow(HWND handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    return system.window(handle) != nullptr;
}

DWORD WINAPI GetCurrentThreadId(void) { return currentThreadId(); }

// Host windows belong to the thread that adopted them.
DWORD WINAPI GetWindowThreadProcessId(HWND handle, LPDWORD processId) {
    DWORD thread = 0;
    withWindow(handle, [&](System&, Window& window) { thread = window.queue->threadId; });
    if (thread && processId) *processId = DWORD(getpid());
    return thread;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
    bool visible = false;
    withWindow(handle, [&](System& system, Window& window) {
        visible = WindowTree::visibleOnScreen(system, window);
    });
    return visible;
}

BOOL WINAPI IsChild(HWND parent, HWND handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    return parent && WindowTree::isAncestor(system, parent, handle);
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    if (!rect) return FALSE;
    return withWindow(handle, [&](System&, Window& window) { *rect = WindowTree::wholeClient(window); });
}

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    if (!rect) return FALSE;
    return withWindow(handle, [&](System& system, Window& window) {
        *rect = WindowTree::windowRectOnScreen(system, window);
    });
}

BOOL WINAPI ClientToScreen(HWND handle, LPPOINT point) {
    if (!point) return FALSE;
    return withWindow(handle, [&](System& system, Window& window) {
        POINT origin = WindowTree::clientOriginOnScreen(system, window);
        point->x += origin.x;
        point->y += origin.y;
    });
}

BOOL WINAPI ScreenToClient(HWND handle, LPPOINT point) {
    if (!point) return FALSE;
    return withWindow(handle, [&](System& system, Window& window) {
        POINT origin = WindowTree::clientOriginOnScreen(system, window);
        point->x -= origin.x;
        point->y -= origin.y;
    });
}

HWND WINAPI GetParent(HWND handle) {
    HWND result = nullptr;
    withWindow(handle, [&](System&, Window& window) {
        // A popup's "parent" is its owner; other top-level windows have none.
        if (window.isChild()) result = window.parent;
        else if (window.style & WS_POPUP) result = window.owner;
    });
    return result;
}

HWND WINAPI GetWindow(HWND handle, UINT relation) {
    HWND result = nullptr;
    withWindow(handle, [&](System& system, Window& window) {
        if (relation == GW_CHILD) {
            if (!window.children.empty()) result = window.children.front();
            return;
        }
        if (relation == GW_OWNER) {
            result = window.owner;
            return;
        }
        const std::vector<HWND>& list = WindowTree::siblings(system, window);
        auto position = std::find(list.begin(), list.end(), handle);
        switch (relation) {
        case GW_HWNDFIRST:
            result = list.front();
            break;
        case GW_HWNDLAST:
            result = list.back();
            break;
        case GW_HWNDNEXT:
            if (position != list.end() && position + 1 != list.end()) result = *(position + 1);
            break;
        case GW_HWNDPREV:
            if (position != list.begin() && position != list.end()) result = *(position - 1);
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            break;
        }
    });
    return result;
}

HWND WINAPI FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    const std::vector<HWND>* list = &system.topLevelWindows;
    if (parent) {
        Window* parentWindow = system.window(parent);
        if (!parentWindow) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        list = &parentWindow->children;
    }
    auto start = list->begin();
    if (childAfter) {
        start = std::find(list->begin(), list->end(), childAfter);
        if (start == list->end()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        ++start;
    }
    for (auto it = start; it != list->end(); ++it) {
        const Window* window = system.window(*it);
        if (className && !classMatches(system, *window->windowClass, className)) continue;
        if (windowName && !sameName(window->text, windowName)) continue;
        return *it;
    }
    return nullptr;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(window, WM_SETTEXT, 0, LPARAM(text)) != 0;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    if (!text || maxCount <= 0) return 0;
    text[0] = '\0';
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return int(SendMessageA(window, WM_GETTEXT, WPARAM(maxCount), LPARAM(text)));
}
