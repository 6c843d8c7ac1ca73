// The data of --plot: input and output peak level and the gain reduction,
// window by window, written as CSV rows while the render runs, so that a
// long file needs no more memory than a short one.
//
// The gain reduction comes from the audio itself. The compressor applies one
// gain to both channels, after the make-up gain: output = input x make-up x
// gain. So each frame's gain is output / input / make-up, taken from the
// louder channel; a window reports its deepest reduction. Frames of silence
// carry no gain, and a window of silence reports none.
#pragma once

#include <cmath>
#include <cstdint>

#include "tools/render/BlockObserver.h"
#include "tools/render/TextOutputFile.h"

class LevelTrace : public BlockObserver {
public:
    // `expectedFrames` sizes the windows (0 when the length is unknown).
    // `appliedLevel` is the linear gain the plug-in applies where it does not
    // compress: the make-up gain, or 1 when it is bypassed.
    LevelTrace(int sampleRate, int64_t expectedFrames, float appliedLevel, TextOutputFile& file);

    void observe(const StereoBlock& input, const StereoBlock& output, int64_t position) override;
    // Writes the last, partial window.
    void finish();

private:
    void addFrame(float inLeft, float inRight, float outLeft, float outRight);
    void writeWindow();

    int sampleRate;
    int64_t windowFrames;
    double appliedLevel;
    TextOutputFile& file;
    int64_t windowStart = 0;
    int64_t framesInWindow = 0;
    float inputPeak = 0.0f;
    float outputPeak = 0.0f;
    double smallestGain = INFINITY;  // none seen in this window yet
};
