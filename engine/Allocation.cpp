#include "engine/Allocation.h"

#include <atomic>

namespace {

std::atomic<int32_t> refusalCountdown{0};
std::atomic<int32_t> allocationCount{0};

}  // namespace

bool allocationRefused() {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    int32_t remaining = refusalCountdown.load(std::memory_order_relaxed);
    while (remaining > 0 &&
           !refusalCountdown.compare_exchange_weak(remaining, remaining - 1, std::memory_order_relaxed)) {
    }
    return remaining == 1;
}

void refuseAllocation(int32_t nth) { refusalCountdown.store(nth > 0 ? nth : 0, std::memory_order_relaxed); }

int32_t allocationsMade() { return allocationCount.load(std::memory_order_relaxed); }
