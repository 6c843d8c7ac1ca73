// The program row's state (program shown, stored programs, copy slot) as the
// plug-in last took it, for an LV2 host that saves while the audio thread
// runs: the UI's changes arrive on the audio thread, and a save may run
// beside it at any time and must see one whole state.
//
// A sequence lock over atomic words: the one writer (the audio thread, or a
// restore, which never runs beside it) never waits; a reader tries again
// while a write is under way, which lasts some forty stores.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/CompressorState.h"
#include "engine/StateChunk.h"

class PublishedState {
public:
    explicit PublishedState(const CompressorState& initial) { publish(initial); }

    void publish(const CompressorState& state);
    CompressorState read() const;

private:
    static constexpr uint32_t kWordCount = stateChunk::kWholeStateSize / 4;
    std::atomic<uint32_t> sequence{0};
    std::atomic<uint32_t> words[kWordCount];
};
