#include "tools/render/LevelTrace.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/render/LevelStatistics.h"

namespace {

// Windows of 10 ms show single drum hits; a long file gets longer windows so
// that the plot keeps a few thousand points.
constexpr double kShortestWindowSeconds = 0.010;
constexpr int64_t kMostWindows = 4000;
constexpr double kNoGain = std::numeric_limits<double>::infinity();

}  // namespace

LevelTrace::LevelTrace(int rate, int64_t expectedFrames, float level, TextOutputFile& output)
    : sampleRate(rate), appliedLevel(level), file(output) {
    const int64_t shortest = std::max<int64_t>(1, std::llround(kShortestWindowSeconds * rate));
    // An input of unknown length (0) gets the shortest windows.
    windowFrames = std::max(shortest, (expectedFrames + kMostWindows - 1) / kMostWindows);
    std::fputs("seconds,input_peak_dbfs,output_peak_dbfs,gain_reduction_db\n", file.stream());
}

void LevelTrace::observe(const StereoBlock& input, const StereoBlock& output, int64_t) {
    for (int i = 0; i < input.frames; ++i) {
        addFrame(input.left[i], input.right[i], output.left[i], output.right[i]);
    }
}

void LevelTrace::addFrame(float inLeft, float inRight, float outLeft, float outRight) {
    const float left = std::fabs(inLeft);
    const float right = std::fabs(inRight);
    inputPeak = std::max({inputPeak, left, right});
    outputPeak = std::max({outputPeak, std::fabs(outLeft), std::fabs(outRight)});
    const bool leftLouder = left >= right;
    const float in = leftLouder ? inLeft : inRight;
    if (in != 0.0f) {
        const double gain = std::fabs(static_cast<double>(leftLouder ? outLeft : outRight) / in) / appliedLevel;
        smallestGain = std::min(smallestGain, gain);
    }
    if (++framesInWindow == windowFrames) writeWindow();
}

void LevelTrace::writeWindow() {
    const double seconds = static_cast<double>(windowStart) / sampleRate;
    const double reduction = std::isinf(smallestGain) ? NAN : 20.0 * std::log10(smallestGain);
    std::fprintf(file.stream(), "%.4f,%.2f,%.2f,%.3f\n", seconds, LevelStatistics::toDecibels(inputPeak),
                 LevelStatistics::toDecibels(outputPeak), reduction);
    windowStart += framesInWindow;
    framesInWindow = 0;
    inputPeak = outputPeak = 0.0f;
    smallestGain = kNoGain;
}

void LevelTrace::finish() {
    if (framesInWindow > 0) writeWindow();
}
