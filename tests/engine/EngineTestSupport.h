// Helpers shared by the engine tests.
#pragma once

#include <atomic>
#include <vector>

#include "engine/CompressorEngine.h"

// Counts the engine's notifications.
class CountingListener : public CompressorListener {
public:
    void updateControls() override { ++controlUpdates; }
    void updateMeter() override { ++meterUpdates; }

    std::atomic<int> controlUpdates{0};
    std::atomic<int> meterUpdates{0};
};

struct StereoBuffer {
    explicit StereoBuffer(size_t frames, float value = 0.0f) : left(frames, value), right(frames, value) {}
    int32_t frames() const { return static_cast<int32_t>(left.size()); }
    std::vector<float> left;
    std::vector<float> right;
};

inline void processReplacing(CompressorEngine& engine, const StereoBuffer& in, StereoBuffer& out) {
    engine.processReplacing(in.left.data(), in.right.data(), out.left.data(), out.right.data(), in.frames());
}

inline void process(CompressorEngine& engine, const StereoBuffer& in, StereoBuffer& out) {
    engine.process(in.left.data(), in.right.data(), out.left.data(), out.right.data(), in.frames());
}

// A deterministic test signal with loud and quiet stretches on both channels.
inline StereoBuffer testSignal(size_t frames) {
    StereoBuffer signal(frames);
    uint32_t seed = 12345;
    for (size_t i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        const float loudness = (i / 3000) % 2 ? 0.05f : 0.9f;
        signal.left[i] = loudness * noise;
        signal.right[i] = loudness * 0.5f * noise + 0.01f;
    }
    return signal;
}
