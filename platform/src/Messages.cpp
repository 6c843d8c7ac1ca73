// Posting, sending, peeking, waiting for and dispatching messages.
#include "MessageDelivery.h"
#include "NativeWindows.h"
#include "WindowTree.h"

using namespace platform;

namespace {

const HWND threadMessagesOnly = reinterpret_cast<HWND>(-1);
constexpr int nativeWaitMilliseconds = 5;

bool inRange(UINT message, UINT first, UINT last) {
    if (first == 0 && last == 0) return true;
    // A reversed range matches nothing, as on Windows.
    return message >= first && message <= last;
}

bool windowMatches(const System& system, HWND filter, HWND window) {
    if (!filter) return true;
    if (filter == threadMessagesOnly) return window == nullptr;
    // A window filter takes the messages of the window's children too.
    return window == filter || (window && WindowTree::isAncestor(system, filter, window));
}

HWND windowToPaint(const System& system, const MessageQueue& queue, HWND filter) {
    if (filter == threadMessagesOnly) return nullptr;
    std::vector<HWND> order;
    for (HWND top : system.topLevelWindows) WindowTree::collectPreOrder(system, top, order);
    for (HWND handle : order) {
        const Window* window = system.window(handle);
        if (window->queue != &queue || window->update.empty()) continue;
        if (!WindowTree::visibleOnScreen(system, *window)) continue;
        if (windowMatches(system, filter, handle)) return handle;
    }
    return nullptr;
}

void fill(MSG* out, HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD time) {
    *out = MSG{window, message, wParam, lParam, time, POINT{0, 0}};
}

// Windows' order: posted messages first, then the quit request, which no
// filter holds back, then paint requests, which stay until validated.
bool retrieve(System& system, MessageQueue& queue, MSG* out, HWND filter, UINT first, UINT last,
              bool remove) {
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!inRange(it->message, first, last) || !windowMatches(system, filter, it->window)) continue;
        fill(out, it->window, it->message, it->wParam, it->lParam, it->time);
        if (remove) queue.posted.erase(it);
        return true;
    }
    if (queue.quitPending) {
        fill(out, nullptr, WM_QUIT, WPARAM(queue.quitCode), 0, messageTime());
        if (remove) queue.quitPending = false;
        return true;
    }
    if (inRange(WM_PAINT, first, last)) {
        HWND window = windowToPaint(system, queue, filter);
        if (window) {
            fill(out, window, WM_PAINT, 0, 0, messageTime());
            return true;
        }
    }
    return false;
}

bool filterValid(const System& system, HWND filter) {
    return !filter || filter == threadMessagesOnly || system.window(filter);
}

bool postTo(MessageQueue& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (queue.posted.size() >= MessageQueue::postLimit) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return false;
    }
    queue.posted.push_back(PostedMessage{window, message, wParam, lParam, messageTime()});
    queue.wakeUp.notify_all();
    return true;
}

// The character a key press types on a US layout with no modifier held.
int characterOfKey(WPARAM key) {
    if (key >= '0' && key <= '9') return int(key);
    if (key >= 'A' && key <= 'Z') return int(key - 'A' + 'a');
    switch (key) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
        return int(key);
    default:
        return 0;
    }
}

}  // namespace

BOOL WINAPI PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    System& system = System::instance();
    MessageQueue& ownQueue = currentQueue();
    SystemLock lock(system.mutex);
    if (!handle) return postTo(ownQueue, nullptr, message, wParam, lParam);
    Window* window = system.window(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return postTo(*window->queue, handle, message, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return deliverMessage(window, message, wParam, lParam);
}

BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT first, UINT last, UINT options) {
    if (!message) return FALSE;
    // Windows on a screen: their input joins the queue and their pixels go
    // out now, so that a program that runs its own loop shows what it draws.
    NativeWindows::service();
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    SystemLock lock(system.mutex);
    receiveSentMessages(system, queue, lock);
    if (!filterValid(system, window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return retrieve(system, queue, message, window, first, last, (options & PM_REMOVE) != 0);
}

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT first, UINT last) {
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    for (;;) {
        NativeWindows::service();
        SystemLock lock(system.mutex);
        receiveSentMessages(system, queue, lock);
        if (!filterValid(system, window)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
        if (retrieve(system, queue, message, window, first, last, true)) {
            return message->message == WM_QUIT ? FALSE : TRUE;
        }
        if (!NativeWindows::ownsTwins(system, queue)) {
            queue.wakeUp.wait(lock);
            continue;
        }
        // The display's input does not wake the queue: look at both in
        // turn, the queue at least every few milliseconds.
        lock.unlock();
        NativeWindows::waitForInput(nativeWaitMilliseconds);
    }
}

BOOL WINAPI TranslateMessage(const MSG* message) {
    if (!message) return FALSE;
    switch (message->message) {
    case WM_KEYDOWN: {
        int character = characterOfKey(message->wParam);
        if (character) PostMessageA(message->hwnd, WM_CHAR, WPARAM(character), message->lParam);
        return TRUE;
    }
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    if (!message || !message->hwnd) return 0;
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    SystemLock lock(system.mutex);
    Window* window = system.window(message->hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->queue != &queue) {
        SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return 0;
    }
    WNDPROC procedure = window->procedure;
    lock.unlock();
    return procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
    System& system = System::instance();
    MessageQueue& queue = currentQueue();
    SystemLock lock(system.mutex);
    queue.quitPending = true;
    queue.quitCode = exitCode;
}

LRESULT WINAPI CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}
