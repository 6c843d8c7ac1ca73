// Peak and RMS level over everything it is shown, both channels together.
#pragma once

#include <cstdint>

class LevelStatistics {
public:
    void add(const float* left, const float* right, int frames);

    float peak() const { return peakLevel; }  // largest absolute sample
    double rms() const;                       // over all samples of both channels
    int64_t frames() const { return frameCount; }

    // 20 log10, with -infinity for silence.
    static double toDecibels(double level);

private:
    float peakLevel = 0.0f;
    double sumOfSquares = 0.0;
    int64_t frameCount = 0;
};
