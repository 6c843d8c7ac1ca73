// A one-line progress bar on standard error, redrawn only when its
// percentage changes, and wiped when the render ends.
#pragma once

#include <cstdint>

#include "tools/render/BlockObserver.h"

class ProgressBar : public BlockObserver {
public:
    // Shown only on a terminal and for inputs long enough to wait for.
    static bool wanted(bool quiet, double durationSeconds);

    explicit ProgressBar(int64_t totalFrames);
    ~ProgressBar() override;

    void observe(const StereoBlock& input, const StereoBlock& output, int64_t position) override;
    void finish();

private:
    int64_t totalFrames;
    int shownPercent = -1;
};
