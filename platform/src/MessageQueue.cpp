#include "MessageQueue.h"

#include "NativeWindows.h"
#include "System.h"
#include "WindowTree.h"

#include <atomic>

namespace platform {

namespace {

// Runs when the thread ends: its windows cannot receive messages any more,
// so they are removed without any, threads waiting for an answer from it get
// 0, and its connection to a host's display closes, taking its twins along.
void endThread(MessageQueue* queue) {
    System& system = System::instance();
    std::unique_ptr<WindowBackend> display;
    SystemLock lock(system.mutex);
    std::vector<HWND> roots;
    system.windows.forEach([&](uintptr_t handle, Window* window) {
        if (window->queue != queue) return;
        Window* parent = window->parent ? system.window(window->parent) : nullptr;
        if (!parent || parent->queue != queue) roots.push_back(reinterpret_cast<HWND>(handle));
    });
    for (HWND root : roots) WindowTree::removeSilently(system, root);
    for (SentMessage* message : queue->incoming) {
        message->result = 0;
        message->done = true;
        message->sender->wakeUp.notify_all();
    }
    queue->incoming.clear();
    display = NativeWindows::takeConnection(system, *queue);
    delete queue;
    lock.unlock();
}

struct QueueHolder {
    MessageQueue* queue = nullptr;
    ~QueueHolder() {
        if (!queue) return;
        if (System::exists()) {
            endThread(queue);
        } else {
            delete queue;
        }
    }
};

thread_local QueueHolder holder;

std::atomic<DWORD> lastThreadId{0};
thread_local DWORD threadId = 0;

}  // namespace

MessageQueue& currentQueue() {
    if (!holder.queue) {
        holder.queue = new MessageQueue;
        holder.queue->threadId = currentThreadId();
    }
    return *holder.queue;
}

DWORD currentThreadId() {
    if (!threadId) threadId = ++lastThreadId;
    return threadId;
}

}  // namespace platform
