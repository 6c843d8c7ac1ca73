// The message queue of one thread: posted messages in order, messages sent
// by other threads waiting for this thread to take them, the quit request
// and the mouse capture. Guarded by the window system's lock.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>

namespace platform {

struct PostedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
};

class MessageQueue;

// A message sent to a window of another thread. The sender waits on its own
// queue until the receiver has set done.
struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    MessageQueue* sender;
    LRESULT result = 0;
    bool done = false;
};

class MessageQueue {
public:
    DWORD threadId = 0;  // of the thread it belongs to
    std::deque<PostedMessage> posted;
    std::deque<SentMessage*> incoming;
    bool quitPending = false;
    int quitCode = 0;
    HWND capture = nullptr;
    std::condition_variable wakeUp;

    // Windows keeps at most this many posted messages in a queue.
    static constexpr size_t postLimit = 10000;
};

// The calling thread's queue, created on first use. When the thread ends
// its windows go with it, without messages, as they do on Windows.
MessageQueue& currentQueue();
// The calling thread's id, as GetCurrentThreadId answers: never 0, never
// another live thread's.
DWORD currentThreadId();

}  // namespace platform
