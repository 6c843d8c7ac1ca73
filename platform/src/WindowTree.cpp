#include "WindowTree.h"

#include "MessageQueue.h"
#include "NativeWindows.h"

#include <algorithm>

namespace platform {

namespace WindowTree {

std::vector<HWND>& siblings(System& system, const Window& window) {
    if (window.parent) {
        Window* parent = system.window(window.parent);
        if (parent) return parent->children;
    }
    return system.topLevelWindows;
}

void unlink(System& system, Window& window) {
    std::vector<HWND>& list = siblings(system, window);
    list.erase(std::remove(list.begin(), list.end(), window.handle), list.end());
}

bool isAncestor(const System& system, HWND ancestor, HWND window) {
    const Window* current = system.window(window);
    while (current && current->parent) {
        if (current->parent == ancestor) return true;
        current = system.window(current->parent);
    }
    return false;
}

HWND topLevelAncestor(const System& system, HWND window) {
    const Window* current = system.window(window);
    while (current && current->parent) current = system.window(current->parent);
    return current ? current->handle : nullptr;
}

void collectPreOrder(const System& system, HWND window, std::vector<HWND>& out) {
    const Window* current = system.window(window);
    if (!current) return;
    out.push_back(window);
    for (HWND child : current->children) collectPreOrder(system, child, out);
}

bool visibleOnScreen(const System& system, const Window& window) {
    const Window* current = &window;
    while (current) {
        if (!(current->style & WS_VISIBLE)) return false;
        current = current->parent ? system.window(current->parent) : nullptr;
    }
    return true;
}

RECT windowRectOnScreen(const System& system, const Window& window) {
    RECT rect = window.rect;
    if (window.parent) {
        const Window* parent = system.window(window.parent);
        if (parent) {
            POINT origin = clientOriginOnScreen(system, *parent);
            rect = offsetBy(rect, origin.x, origin.y);
        }
    }
    return rect;
}

POINT clientOriginOnScreen(const System& system, const Window& window) {
    RECT rect = windowRectOnScreen(system, window);
    return POINT{rect.left + window.client.left, rect.top + window.client.top};
}

RECT wholeClient(const Window& window) {
    return RECT{0, 0, window.clientWidth(), window.clientHeight()};
}

namespace {

// The child's client rectangle in its parent's client coordinates.
RECT childClientInParent(const Window& child) {
    return offsetBy(child.client, child.rect.left, child.rect.top);
}

void changeUpdateRegion(System& system, Window& window, RECT rect, bool add, bool erase,
                        bool allChildren) {
    rect = intersection(rect, wholeClient(window));
    if (rectEmpty(rect)) return;
    if (add) {
        window.update.add(rect);
        if (erase) window.eraseNeeded = true;
        if (window.queue) window.queue->wakeUp.notify_all();
    } else {
        window.update.subtract(rect);
        if (window.update.empty()) window.eraseNeeded = false;
    }
    if (!allChildren && (window.style & WS_CLIPCHILDREN)) return;
    for (HWND handle : window.children) {
        Window* child = system.window(handle);
        if (!child || !(child->style & WS_VISIBLE)) continue;
        RECT inChild = offsetBy(rect, -childClientInParent(*child).left, -childClientInParent(*child).top);
        changeUpdateRegion(system, *child, inChild, add, erase, allChildren);
    }
}

}  // namespace

void invalidate(System& system, Window& window, RECT rect, bool erase, bool allChildren) {
    if (!visibleOnScreen(system, window)) return;
    changeUpdateRegion(system, window, rect, true, erase, allChildren);
}

void validate(System& system, Window& window, RECT rect) {
    changeUpdateRegion(system, window, rect, false, false, false);
}

void exposeParent(System& system, const Window& child) {
    Window* parent = child.parent ? system.window(child.parent) : nullptr;
    if (!parent) return;
    // The parent's own pixels never lay under the child here, but on
    // Windows they do: uncovering the child makes the parent repaint there.
    invalidate(system, *parent, child.rect, true, false);
}

namespace {

void freeWindow(System& system, HWND handle) {
    Window* window = system.window(handle);
    if (!window) return;
    unlink(system, *window);
    NativeWindows::retire(system, *window);
    if (window->windowClass) --window->windowClass->windowCount;
    if (window->queue) {
        std::deque<PostedMessage>& posted = window->queue->posted;
        posted.erase(std::remove_if(posted.begin(), posted.end(),
                                    [handle](const PostedMessage& m) { return m.window == handle; }),
                     posted.end());
        if (window->queue->capture == handle) window->queue->capture = nullptr;
    }
    for (HWND other : system.topLevelWindows) {
        Window* owned = system.window(other);
        if (owned && owned->owner == handle) owned->owner = nullptr;
    }
    system.windows.remove(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace

void removeSilently(System& system, HWND handle) {
    Window* window = system.window(handle);
    if (!window) return;
    std::vector<HWND> children = window->children;
    for (HWND child : children) removeSilently(system, child);
    freeWindow(system, handle);
}

}  // namespace WindowTree

}  // namespace platform
