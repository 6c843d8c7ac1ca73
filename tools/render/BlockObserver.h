// Something that follows the render block by block: level statistics, the
// progress bar, and whatever else wants to see each block of input and output.
#pragma once

#include <cstdint>

struct StereoBlock {
    const float* left;
    const float* right;
    int frames;
};

class BlockObserver {
public:
    virtual ~BlockObserver() = default;
    // `position` is the frame at which the block starts.
    virtual void observe(const StereoBlock& input, const StereoBlock& output, int64_t position) = 0;
};
