#include "tools/render/Benchmark.h"

#include <algorithm>
#include <chrono>

namespace {

double sortedMedian(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

}  // namespace

double BenchFigures::minimumNanosecondsPerFrame() const {
    if (passSeconds.empty() || frames == 0) return 0.0;
    return *std::min_element(passSeconds.begin(), passSeconds.end()) * 1e9 / frames;
}

double BenchFigures::medianNanosecondsPerFrame() const {
    if (frames == 0) return 0.0;
    return sortedMedian(passSeconds) * 1e9 / frames;
}

double BenchFigures::realTimeFactor(int sampleRate) const {
    const double median = sortedMedian(passSeconds);
    if (median <= 0.0) return 0.0;
    return static_cast<double>(frames) / sampleRate / median;
}

Benchmark::Benchmark(int size) : blockSize(size), outLeft(size), outRight(size) {}

bool Benchmark::load(AudioFileReader& reader, std::string& error) {
    left.clear();
    right.clear();
    std::vector<float> blockLeft(blockSize), blockRight(blockSize);
    for (;;) {
        const int frames = reader.read(blockLeft.data(), blockRight.data(), blockSize, error);
        if (frames < 0) return false;
        if (frames == 0) return true;
        left.insert(left.end(), blockLeft.begin(), blockLeft.begin() + frames);
        right.insert(right.end(), blockRight.begin(), blockRight.begin() + frames);
    }
}

void Benchmark::run(HostedPlugin& plugin, int passes, BenchFigures& figures) {
    using Clock = std::chrono::steady_clock;
    const int64_t total = static_cast<int64_t>(left.size());
    figures.frames = total;
    figures.passSeconds.clear();
    for (int pass = 0; pass < passes; ++pass) {
        const Clock::time_point start = Clock::now();
        for (int64_t done = 0; done < total; done += blockSize) {
            const int frames = static_cast<int>(std::min<int64_t>(blockSize, total - done));
            plugin.process(left.data() + done, right.data() + done, outLeft.data(),
                           outRight.data(), frames);
        }
        figures.passSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
