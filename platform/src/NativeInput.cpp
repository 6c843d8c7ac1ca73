// What happens to the twins on the screen, as window messages: exposure
// becomes an update region (and WM_PAINT), the pointer becomes mouse
// messages in client coordinates, and a host's window that is destroyed takes
// our windows in it along.
#include "NativeWindows.h"

#include "WindowTree.h"

namespace platform {

namespace NativeWindows {

namespace {

UINT buttonMessage(int button, bool pressed) {
    switch (button) {
    case 1: return pressed ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case 2: return pressed ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case 3: return pressed ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return 0;  // wheel steps and further buttons
    }
}

UINT messageFor(const NativeEvent& event) {
    switch (event.kind) {
    case NativeEvent::Kind::buttonPressed: return buttonMessage(event.button, true);
    case NativeEvent::Kind::buttonReleased: return buttonMessage(event.button, false);
    case NativeEvent::Kind::pointerMoved: return WM_MOUSEMOVE;
    default: return 0;
    }
}

// As on Windows, a move waiting in the queue is replaced by a newer one
// rather than followed by it.
void postPointerMessage(const Window& window, const NativeEvent& event) {
    UINT message = messageFor(event);
    if (!message) return;
    MessageQueue& queue = *window.queue;
    LPARAM position = MAKELPARAM(WORD(int16_t(event.position.x)), WORD(int16_t(event.position.y)));
    if (message == WM_MOUSEMOVE && !queue.posted.empty()) {
        PostedMessage& last = queue.posted.back();
        if (last.window == window.handle && last.message == WM_MOUSEMOVE && last.wParam == event.keys) {
            last.lParam = position;
            last.time = messageTime();
            return;
        }
    }
    if (queue.posted.size() >= MessageQueue::postLimit) return;
    queue.posted.push_back(PostedMessage{window.handle, message, event.keys, position, messageTime()});
    queue.wakeUp.notify_all();
}

// The host's window took its children on the screen with it: our windows in
// it have no twins left to destroy.
void forgetTwinsInside(System& system, HWND hostWindow) {
    std::vector<HWND> tree;
    WindowTree::collectPreOrder(system, hostWindow, tree);
    for (HWND member : tree) setTwin(system, *system.window(member), 0);
}

// Expects the lock held; host windows that are gone are added to lost.
void apply(System& system, const MessageQueue& queue, const NativeEvent& event, std::vector<HWND>& lost) {
    Window* window = windowOfTwin(system, queue, event.window);
    if (!window) return;
    switch (event.kind) {
    case NativeEvent::Kind::exposed:
        // What the screen lost is shown again from the surface at once, and
        // the window is asked to paint it, as Windows asks.
        WindowTree::invalidate(system, *window, event.area, true, false);
        markChanged(*window, event.area);
        break;
    case NativeEvent::Kind::destroyed:
        if (!window->hostWindow) break;
        lost.push_back(window->handle);
        forgetTwinsInside(system, window->handle);
        break;
    default:
        postPointerMessage(*window, event);
        break;
    }
}

}  // namespace

void service() {
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    WindowBackend* display;
    {
        SystemLock lock(system.mutex);
        display = system.hostDisplayOf(queue);
        if (!display) return;
    }
    std::vector<NativeEvent> events;
    display->readInput(events);
    std::vector<HWND> lost;
    if (!events.empty()) {
        SystemLock lock(system.mutex);
        for (const NativeEvent& event : events) apply(system, queue, event, lost);
    }
    // Our windows hear of their end as they would on Windows.
    for (HWND hostWindow : lost) DestroyWindow(hostWindow);
    pushChangedPixels(queue);
}

}  // namespace NativeWindows

}  // namespace platform
