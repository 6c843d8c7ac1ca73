#include "HostGuiThread.h"

#include <chrono>

HostGuiThread::HostGuiThread() : thread([this] { loop(); }) {}

HostGuiThread::~HostGuiThread() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    thread.join();
}

void HostGuiThread::run(std::function<void()> task) {
    bool done = false;
    std::unique_lock<std::mutex> lock(mutex);
    tasks.push_back([&] {
        task();
        std::lock_guard<std::mutex> finished(mutex);
        done = true;
        changed.notify_all();
    });
    changed.notify_all();
    changed.wait(lock, [&] { return done; });
}

void HostGuiThread::setIdle(std::function<void()> newIdle) {
    run([this, &newIdle] { idle = std::move(newIdle); });
}

void HostGuiThread::loop() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        if (!tasks.empty()) {
            std::function<void()> task = std::move(tasks.front());
            tasks.pop_front();
            lock.unlock();
            task();
            lock.lock();
            continue;
        }
        if (stopping) return;
        if (idle) {
            lock.unlock();
            idle();
            lock.lock();
        }
        changed.wait_for(lock, std::chrono::milliseconds(idleIntervalMilliseconds),
                         [this] { return stopping || !tasks.empty(); });
    }
}
