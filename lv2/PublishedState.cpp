#include "lv2/PublishedState.h"

#include <cstring>
#include <thread>

// The state travels as its chunk, whose bytes are already the one complete
// and checked picture of it.
void PublishedState::publish(const CompressorState& state) {
    uint8_t bytes[stateChunk::kWholeStateSize];
    stateChunk::write(state, stateChunk::kWholeState, bytes);
    const uint32_t start = sequence.load(std::memory_order_relaxed);
    sequence.store(start + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    for (uint32_t i = 0; i < kWordCount; ++i) {
        uint32_t word = 0;
        std::memcpy(&word, bytes + 4 * i, sizeof word);
        words[i].store(word, std::memory_order_relaxed);
    }
    sequence.store(start + 2, std::memory_order_release);
}

CompressorState PublishedState::read() const {
    uint8_t bytes[stateChunk::kWholeStateSize];
    for (;;) {
        const uint32_t before = sequence.load(std::memory_order_acquire);
        for (uint32_t i = 0; i < kWordCount; ++i) {
            const uint32_t word = words[i].load(std::memory_order_relaxed);
            std::memcpy(bytes + 4 * i, &word, sizeof word);
        }
        std::atomic_thread_fence(std::memory_order_acquire);
        if (before % 2 == 0 && sequence.load(std::memory_order_relaxed) == before) break;
        std::this_thread::yield();  // the writer may have been interrupted mid-way
    }
    CompressorState state;
    stateChunk::read(bytes, stateChunk::kWholeStateSize, state);
    return state;
}
