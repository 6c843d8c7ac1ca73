#include "tools/render/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr double kShortestSecondsWithProgress = 5.0;
constexpr int kBarWidth = 40;

}  // namespace

bool ProgressBar::wanted(bool quiet, double durationSeconds) {
    return !quiet && isatty(STDERR_FILENO) && durationSeconds > kShortestSecondsWithProgress;
}

ProgressBar::ProgressBar(int64_t total) : totalFrames(total > 0 ? total : 1) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::observe(const StereoBlock& input, const StereoBlock&, int64_t position) {
    const int64_t done = position + input.frames;
    const int percent = static_cast<int>(std::min<int64_t>(100, done * 100 / totalFrames));
    if (percent == shownPercent) return;
    shownPercent = percent;
    const int filled = percent * kBarWidth / 100;
    char bar[kBarWidth + 1];
    for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kBarWidth] = '\0';
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar, percent);
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (shownPercent < 0) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    shownPercent = -1;
}
