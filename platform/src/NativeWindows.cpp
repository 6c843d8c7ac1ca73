#include "NativeWindows.h"

#include "WindowTree.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace NativeWindows {

namespace {

// The screen of the host window the calling thread adopted last; empty
// while it has nothing on a host's display. Read by GetSystemMetrics, which
// may run under the system lock.
thread_local SIZE threadScreen = {0, 0};

RECT unite(const RECT& a, const RECT& b) {
    if (rectEmpty(a)) return b;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// The calling thread's connection when it owns the window's twin.
WindowBackend* ownTwin(HWND handle, NativeWindow* twin) {
    System& system = System::instance();
    const MessageQueue& queue = currentQueue();
    SystemLock lock(system.mutex);
    const Window* window = system.window(handle);
    if (!window || !window->twin || window->hostWindow || window->queue != &queue) return nullptr;
    *twin = window->twin;
    return system.hostDisplayOf(queue);
}

struct PixelPush {
    NativeWindow twin;
    RECT rect;
    size_t offset;
};

struct Visibility {
    NativeWindow twin;
    bool shown;
};

bool ownsWindowsOf(const System& system, HWND owner) {
    for (HWND top : system.topLevelWindows) {
        const Window* window = system.window(top);
        if (window && window->owner == owner) return true;
    }
    return false;
}

// Twins whose mapping lags behind their window's visibility; expects the
// lock held and records them as done.
std::vector<Visibility> visibilityChanges(System& system, const MessageQueue& queue) {
    std::vector<Visibility> changes;
    for (HWND handle : system.twinned) {
        Window* window = system.window(handle);
        if (!window || window->queue != &queue || window->hostWindow) continue;
        const bool visible = (window->style & WS_VISIBLE) != 0;
        if (visible == window->twinShown) continue;
        window->twinShown = visible;
        changes.push_back(Visibility{window->twin, visible});
    }
    return changes;
}

// The thread's twins retired since it last settled, taken off the list;
// expects the lock held.
std::vector<System::RetiredTwin> takeRetired(System& system, const MessageQueue& queue) {
    std::vector<System::RetiredTwin>& all = system.retiredTwins;
    const auto others = std::stable_partition(all.begin(), all.end(),
                                              [&queue](const System::RetiredTwin& twin) { return twin.queue != &queue; });
    std::vector<System::RetiredTwin> taken(others, all.end());
    all.erase(others, all.end());
    return taken;
}

void closeConnection(std::unique_ptr<WindowBackend> display) {
    display.reset();
    threadScreen = SIZE{0, 0};
}

}  // namespace

void setTwin(System& system, Window& window, NativeWindow twin) {
    std::vector<HWND>& twinned = system.twinned;
    twinned.erase(std::remove(twinned.begin(), twinned.end(), window.handle), twinned.end());
    window.twin = twin;
    window.twinShown = false;
    window.unpushed = RECT{};
    if (twin) twinned.push_back(window.handle);
}

void markChanged(Window& window, const RECT& rect) {
    if (!window.twin || window.hostWindow || rectEmpty(rect)) return;
    window.unpushed = unite(window.unpushed, rect);
}

void retire(System& system, Window& window) {
    if (!window.twin) return;
    system.retiredTwins.push_back(System::RetiredTwin{window.twin, window.hostWindow, window.queue});
    setTwin(system, window, 0);
}

Window* windowOfTwin(const System& system, const MessageQueue& queue, NativeWindow twin) {
    for (HWND handle : system.twinned) {
        Window* window = system.window(handle);
        if (window && window->queue == &queue && window->twin == twin) return window;
    }
    return nullptr;
}

bool ownsTwins(const System& system, const MessageQueue& queue) { return system.hostDisplayOf(queue) != nullptr; }

std::unique_ptr<WindowBackend> takeConnection(System& system, const MessageQueue& queue) {
    takeRetired(system, queue);
    std::vector<System::HostDisplay>& displays = system.hostDisplays;
    for (auto it = displays.begin(); it != displays.end(); ++it) {
        if (it->queue != &queue) continue;
        std::unique_ptr<WindowBackend> display = std::move(it->backend);
        displays.erase(it);
        return display;
    }
    return nullptr;
}

void mirrorNewWindow(HWND handle) {
    System& system = System::instance();
    const MessageQueue& queue = currentQueue();
    WindowBackend* display;
    NativeWindow parentTwin;
    RECT rect;
    bool topLevel;
    {
        SystemLock lock(system.mutex);
        const Window* window = system.window(handle);
        display = system.hostDisplayOf(queue);
        if (!window || !display || window->queue != &queue) return;
        topLevel = !window->isChild();
        const Window* above = system.window(topLevel ? window->owner : window->parent);
        // A thread's connection serves only its own windows.
        if (!above || !above->twin || above->queue != &queue) return;
        parentTwin = above->twin;
        // A twin covers the client area: in the parent's client area, or on the screen.
        rect = offsetBy(window->client, window->rect.left, window->rect.top);
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

void showTwin(HWND handle) {
    System& system = System::instance();
    const MessageQueue& queue = currentQueue();
    WindowBackend* display;
    std::vector<Visibility> changes;
    {
        SystemLock lock(system.mutex);
        const Window* window = system.window(handle);
        display = system.hostDisplayOf(queue);
        if (!window || !display || window->queue != &queue) return;
        changes = visibilityChanges(system, queue);
    }
    for (const Visibility& change : changes) display->showWindow(change.twin, change.shown);
}

void grabPointer(HWND handle) {
    NativeWindow twin;
    if (WindowBackend* display = ownTwin(handle, &twin)) display->grabPointer(twin);
}

void releasePointer(HWND handle) {
    NativeWindow twin;
    if (WindowBackend* display = ownTwin(handle, &twin)) display->releasePointer();
}

void settle() {
    System& system = System::instance();
    const MessageQueue& queue = currentQueue();
    std::vector<System::RetiredTwin> retired;
    std::unique_ptr<WindowBackend> closing;
    WindowBackend* display;
    {
        SystemLock lock(system.mutex);
        display = system.hostDisplayOf(queue);
        if (!display) return;
        std::vector<HWND> unused;
        for (HWND handle : system.twinned) {
            const Window* window = system.window(handle);
            if (window && window->queue == &queue && window->hostWindow && !window->adopting &&
                window->children.empty() && !ownsWindowsOf(system, handle)) {
                unused.push_back(handle);
            }
        }
        for (HWND handle : unused) WindowTree::removeSilently(system, handle);
        retired = takeRetired(system, queue);
        // Closing the connection takes every twin and grab with it.
        const bool nothingLeft = std::none_of(system.twinned.begin(), system.twinned.end(), [&](HWND handle) {
            const Window* window = system.window(handle);
            return window && window->queue == &queue;
        });
        if (nothingLeft) closing = takeConnection(system, queue);
    }
    if (closing) {
        closeConnection(std::move(closing));
        return;
    }
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
        display = system.hostDisplayOf(currentQueue());
        if (!display) display = system.headless.get();
    }
    display->waitForInput(milliseconds);
}

// Copies what changed under the lock, so that the audio thread's drawing
// waits for a copy at most, never for the display.
void pushChangedPixels(const MessageQueue& queue) {
    System& system = System::instance();
    std::vector<uint32_t> pixels;
    std::vector<PixelPush> pushes;
    std::vector<Visibility> changes;
    WindowBackend* display;
    {
        SystemLock lock(system.mutex);
        display = system.hostDisplayOf(queue);
        if (!display) return;
        changes = visibilityChanges(system, queue);
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
    for (const Visibility& change : changes) display->showWindow(change.twin, change.shown);
    for (const PixelPush& push : pushes) display->pushPixels(push.twin, push.rect, pixels.data() + push.offset);
    if (!pushes.empty()) display->flush();
}

SIZE screenSize() {
    if (threadScreen.cx > 0) return threadScreen;
    return System::instance().headless->screenSize();
}

WindowBackend* connectCallingThread() {
    System& system = System::instance();
    const MessageQueue& queue = currentQueue();
    {
        SystemLock lock(system.mutex);
        if (WindowBackend* display = system.hostDisplayOf(queue)) return display;
    }
    std::unique_ptr<WindowBackend> connected = connectHostDisplay();
    if (!connected) return nullptr;
    WindowBackend* display = connected.get();
    SystemLock lock(system.mutex);
    system.hostDisplays.push_back(System::HostDisplay{&queue, std::move(connected)});
    return display;
}

void useScreenOf(WindowBackend& display) { threadScreen = display.screenSize(); }

}  // namespace NativeWindows

}  // namespace platform
