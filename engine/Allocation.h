// Everything an instance allocates while a host waits in the entry point,
// from the engine's program bank up to the editor's controls, goes through
// here. An allocation that fails yields null and never throws; the caller
// decides what a missing object means (for the bank, the editor and its
// controls: creationFailed). It sits with the engine, the lowest layer, so
// that one seam serves every layer above.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

// Counts the allocation about to be made; true when a test has asked for
// exactly this one to fail.
bool allocationRefused();

template <class T, class... Args>
T* allocateObject(Args&&... args) {
    if (allocationRefused()) return nullptr;
    return new (std::nothrow) T(std::forward<Args>(args)...);
}

template <class T>
T* allocateArray(int32_t count) {
    if (count < 1 || allocationRefused()) return nullptr;
    return new (std::nothrow) T[count];
}

// Test seam: makes the allocation `nth` allocations from now fail (1: the
// next one); 0 disarms it. Out of memory cannot be had on demand otherwise.
void refuseAllocation(int32_t nth);
// Allocations made through allocateObject in this process so far.
int32_t allocationsMade();
