// A host's user-interface thread: it runs what it is asked to (open an
// editor, close it) and in between calls the host's idle, as Linux hosts do
// many times a second. The plug-in's editor gets its input in those idles,
// and a drag goes on across them.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class HostGuiThread {
public:
    HostGuiThread();
    // Finishes the tasks asked for, then ends the thread.
    ~HostGuiThread();
    HostGuiThread(const HostGuiThread&) = delete;
    HostGuiThread& operator=(const HostGuiThread&) = delete;

    // Runs the task on this thread and returns when it is done.
    void run(std::function<void()> task);
    // What the thread calls between tasks, every idleInterval.
    void setIdle(std::function<void()> idle);

    static constexpr int idleIntervalMilliseconds = 10;

private:
    void loop();

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> tasks;
    std::function<void()> idle;
    bool stopping = false;
    std::thread thread;
};
