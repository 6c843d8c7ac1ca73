#include "host/ThreadLock.h"

ThreadLock::ThreadLock() { InitializeCriticalSection(&section); }

ThreadLock::~ThreadLock() { DeleteCriticalSection(&section); }

void ThreadLock::lock() { EnterCriticalSection(&section); }

void ThreadLock::unlock() { LeaveCriticalSection(&section); }
