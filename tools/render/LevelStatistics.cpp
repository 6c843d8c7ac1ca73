#include "tools/render/LevelStatistics.h"

#include <cmath>
#include <limits>

void LevelStatistics::add(const float* left, const float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
        const float l = left[i];
        const float r = right[i];
        peakLevel = std::fmax(peakLevel, std::fmax(std::fabs(l), std::fabs(r)));
        sumOfSquares += static_cast<double>(l) * l + static_cast<double>(r) * r;
    }
    frameCount += frames;
}

double LevelStatistics::rms() const {
    if (frameCount == 0) return 0.0;
    return std::sqrt(sumOfSquares / (2.0 * static_cast<double>(frameCount)));
}

double LevelStatistics::toDecibels(double level) {
    if (!(level > 0.0)) return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(level);
}
