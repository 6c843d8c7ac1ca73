#include "MessageDelivery.h"

namespace platform {

void receiveSentMessages(System& system, MessageQueue& queue, SystemLock& lock) {
    while (!queue.incoming.empty()) {
        SentMessage* message = queue.incoming.front();
        queue.incoming.pop_front();
        Window* window = system.window(message->window);
        WNDPROC procedure = window && window->queue == &queue ? window->procedure : nullptr;
        LRESULT result = 0;
        if (procedure) {
            lock.unlock();
            result = procedure(message->window, message->message, message->wParam, message->lParam);
            lock.lock();
        }
        message->result = result;
        message->done = true;
        message->sender->wakeUp.notify_all();
    }
}

LRESULT deliverMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    System& system = System::instance();
    MessageQueue& ownQueue = currentQueue();
    SystemLock lock(system.mutex);
    Window* window = system.window(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->queue == &ownQueue) {
        WNDPROC procedure = window->procedure;
        lock.unlock();
        return procedure ? procedure(handle, message, wParam, lParam) : 0;
    }
    SentMessage sent{handle, message, wParam, lParam, &ownQueue};
    window->queue->incoming.push_back(&sent);
    window->queue->wakeUp.notify_all();
    while (!sent.done) {
        receiveSentMessages(system, ownQueue, lock);
        if (!sent.done) ownQueue.wakeUp.wait(lock);
    }
    return sent.result;
}

}  // namespace platform
