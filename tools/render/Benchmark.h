// --bench: the whole input held in memory and processed several times over,
// each pass timed, so that file input and output do not cloud the figures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/AudioFileReader.h"
#include "tools/render/HostedPlugin.h"

struct BenchFigures {
    std::vector<double> passSeconds;
    int64_t frames = 0;

    double minimumNanosecondsPerFrame() const;
    double medianNanosecondsPerFrame() const;
    // Seconds of audio per second of processing, from the median pass.
    double realTimeFactor(int sampleRate) const;
};

class Benchmark {
public:
    explicit Benchmark(int blockSize);

    bool load(AudioFileReader& reader, std::string& error);
    // The plug-in must be open and started.
    void run(HostedPlugin& plugin, int passes, BenchFigures& figures);

private:
    int blockSize;
    std::vector<float> left, right;
    std::vector<float> outLeft, outRight;
};
