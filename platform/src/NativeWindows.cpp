#include "NativeWindows.h"

#include "WindowTree.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace NativeWindows {

namespace {

RECT unite(const RECT& a, const RECT& b) {
    if (rectEmpty(a)) return b;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool headless(const System& system) { return !system.onHostDisplay; }

WindowBackend* twinOf(HWND handle, NativeWindow* twin) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    const Window* window = system.window(handle);
    if (!window || !window->twin || window->hostWindow) return nullptr;
    *twin = window->twin;
    return system.display.get();
}

struct PixelPush {
    NativeWindow twin;
    RECT rect;
    size_t offset;
};

bool ownsWindowsOf(const System& system, HWND owner) {
    for (HWND top : system.topLevelWindows) {
        const Window* window = system.window(top);
        if (window && window->owner == owner) return true;
    }
    return false;
}

}  // namespace

void setTwin(System& system, Window& window, NativeWindow twin) {
    std::vector<HWND>& twinned = system.twinned;
    twinned.erase(std::remove(twinned.begin(), twinned.end(), window.handle), twinned.end());
    window.twin = twin;
    window.unpushed = RECT{};
    if (twin) twinned.push_back(window.handle);
}

void markChanged(Window& window, const RECT& rect) {
    if (!window.twin || window.hostWindow || rectEmpty(rect)) return;
    window.unpushed = unite(window.unpushed, rect);
}

void retire(System& system, Window& window) {
    if (!window.twin) return;
    system.retiredTwins.push_back(System::RetiredTwin{window.twin, window.hostWindow});
    setTwin(system, window, 0);
}

Window* windowOfTwin(const System& system, NativeWindow twin) {
    for (HWND handle : system.twinned) {
        Window* window = system.window(handle);
        if (window && window->twin == twin) return window;
    }
    return nullptr;
}

bool ownsTwins(const System& system, const MessageQueue& queue) {
    for (HWND handle : system.twinned) {
        const Window* window = system.window(handle);
        if (window && window->queue == &queue) return true;
    }
    return false;
}

void mirrorNewWindow(HWND handle) {
    System& system = System::instance();
    WindowBackend* display;
    NativeWindow parentTwin;
    RECT rect;
    bool topLevel;
    {
        SystemLock lock(system.mutex);
        const Window* window = system.window(handle);
        if (!window || headless(system)) return;
        topLevel = !window->isChild();
        const Window* above = system.window(topLevel ? window->owner : window->parent);
        // A backend serves only the thread that owns the windows on it.
        if (!above || !above->twin || above->queue != window->queue) return;
        parentTwin = above->twin;
        // A twin covers the client area: in the parent's client area, or on the screen.
        rect = offsetBy(window->client, window->rect.left, window->rect.top);
        display = system.display.get();
    }
    NativeWindow twin = topLevel ? display->createTopLevel(parentTwin, rect) : display->createChild(parentTwin, rect);
    if (!twin) return;
    SystemLock lock(system.mutex);
    if (Window* window = system.window(handle)) {
        setTwin(system, *window, twin);
        return;
    }
    lock.unlock();
    display->destroyWindow(twin);
}

void showTwin(HWND handle, bool shown) {
    NativeWindow twin;
    if (WindowBackend* display = twinOf(handle, &twin)) display->showWindow(twin, shown);
}

void grabPointer(HWND handle) {
    NativeWindow twin;
    if (WindowBackend* display = twinOf(handle, &twin)) display->grabPointer(twin);
}

void releasePointer(HWND handle) {
    NativeWindow twin;
    if (WindowBackend* display = twinOf(handle, &twin)) display->releasePointer();
}

void settle() {
    System& system = System::instance();
    std::vector<System::RetiredTwin> retired;
    std::unique_ptr<WindowBackend> closing;
    WindowBackend* display;
    {
        SystemLock lock(system.mutex);
        if (headless(system)) return;
        std::vector<HWND> unused;
        for (HWND handle : system.twinned) {
            const Window* window = system.window(handle);
            if (window && window->hostWindow && !window->adopting && window->children.empty() &&
                !ownsWindowsOf(system, handle)) {
                unused.push_back(handle);
            }
        }
        for (HWND handle : unused) WindowTree::removeSilently(system, handle);
        // A host's window adopted again (by another thread, or after its
        // thread ended) is still listened to.
        for (const System::RetiredTwin& twin : system.retiredTwins) {
            if (!twin.hostWindow || !windowOfTwin(system, twin.window)) retired.push_back(twin);
        }
        system.retiredTwins.clear();
        display = system.display.get();
        // Closing the connection takes every twin and grab with it.
        if (system.twinned.empty()) closing = system.useDisplay(createHeadlessBackend(), false);
    }
    if (closing) return;
    for (const System::RetiredTwin& twin : retired) {
        if (twin.hostWindow) {
            display->releaseForeign(twin.window);
        } else {
            display->destroyWindow(twin.window);
        }
    }
}

void waitForInput(int milliseconds) {
    System& system = System::instance();
    WindowBackend* display;
    {
        SystemLock lock(system.mutex);
        display = system.display.get();
    }
    display->waitForInput(milliseconds);
}

// Copies what changed under the lock, so that the audio thread's drawing
// waits for a copy at most, never for the display.
void pushChangedPixels(const MessageQueue& queue) {
    System& system = System::instance();
    std::vector<uint32_t> pixels;
    std::vector<PixelPush> pushes;
    WindowBackend* display;
    {
        SystemLock lock(system.mutex);
        if (headless(system)) return;
        display = system.display.get();
        for (HWND handle : system.twinned) {
            Window* window = system.window(handle);
            if (!window || window->queue != &queue || rectEmpty(window->unpushed)) continue;
            RECT rect = intersection(window->unpushed, WindowTree::wholeClient(*window));
            window->unpushed = RECT{};
            if (rectEmpty(rect) || !window->surface || window->surface->bitsPerPixel() != 32) continue;
            const size_t width = size_t(rect.right - rect.left);
            pushes.push_back(PixelPush{window->twin, rect, pixels.size()});
            pixels.resize(pixels.size() + width * size_t(rect.bottom - rect.top));
            uint32_t* out = pixels.data() + pushes.back().offset;
            for (int y = rect.top; y < rect.bottom; ++y, out += width) {
                std::memcpy(out, window->surface->row(y) + size_t(rect.left) * 4, width * 4);
            }
        }
    }
    for (const PixelPush& push : pushes) display->pushPixels(push.twin, push.rect, pixels.data() + push.offset);
    if (!pushes.empty()) display->flush();
}

}  // namespace NativeWindows

}  // namespace platform
