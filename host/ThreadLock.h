// The one lock type of the plug-in's code, for what user-interface threads
// share (the window classes' users, for one). It is a critical section, and
// it is here because of what the 32-bit DLL must load on: Windows XP.
//
// The rule for code that goes into the Windows DLLs (engine, host, gui,
// editor): locks are ThreadLock, shared values std::atomic, allocations
// allocateObject/allocateArray (engine/Allocation.h); no std::mutex,
// std::thread, std::condition_variable, std::call_once, no thread_local, no
// function-local static that needs constructing or destroying at run time
// (its guard takes a lock), no allocation that throws. With our compiler's
// thread model each of these links a threads runtime that asks Windows for
// functions XP lacks, and the DLL no longer loads there; the import-table
// tests of the win32 preset fail when that happens. Namespace-scope objects
// are fine: the loader constructs them before any host can call us. Test
// programs and the Linux-only window layer (platform/) may use what they
// like.
#pragma once

#include <windows.h>

class ThreadLock {
public:
    ThreadLock();
    ~ThreadLock();
    ThreadLock(const ThreadLock&) = delete;
    ThreadLock& operator=(const ThreadLock&) = delete;

    // The thread that holds the lock may take it again, and gives it up
    // once it has released it as often.
    void lock();
    void unlock();

private:
    CRITICAL_SECTION section;
};

// Holds a ThreadLock for the life of a scope.
class ThreadLockGuard {
public:
    explicit ThreadLockGuard(ThreadLock& lock) : lock(lock) { lock.lock(); }
    ~ThreadLockGuard() { lock.unlock(); }
    ThreadLockGuard(const ThreadLockGuard&) = delete;
    ThreadLockGuard& operator=(const ThreadLockGuard&) = delete;

private:
    ThreadLock& lock;
};
