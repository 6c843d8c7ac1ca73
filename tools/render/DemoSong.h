// The embedded demo: twelve bars of drum and bass at 172 BPM, synthesized
// sample by sample (kick, snare, hi-hat and a detuned saw bass), with loud
// sections, a quiet verse and a near-silent breakdown, so that the compressor
// has something to do. The result is the same on every run and every machine
// that computes IEEE floats the same way.
#pragma once

#include <cstdint>

class DemoSong {
public:
    static constexpr int kSampleRate = 44100;

    int64_t frameCount() const;
    // Writes the next `frames` frames; returns how many, 0 at the end.
    int render(float* left, float* right, int frames);

private:
    void renderFrame(int64_t frame, float& left, float& right);
    float drums(int64_t frame, double time, float& pan);
    float bass(double time);

    int64_t position = 0;
    float bassLowPass = 0.0f;
};
