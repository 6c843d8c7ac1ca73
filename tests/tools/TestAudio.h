// Audio for the renderer's tests: generated signals, files written and read
// back through libsndfile, and the engine's own result for comparison.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TestAudio {
    int sampleRate = 44100;
    int channels = 2;
    int format = 0;  // libsndfile format code, as read back
    std::vector<float> left;
    std::vector<float> right;  // equal to left for a mono file

    int64_t frames() const { return static_cast<int64_t>(left.size()); }
};

// Bursts of loud and quiet tones, different on each channel, so that the
// compressor both works and rests.
TestAudio makeTestSignal(int64_t frames, int channels, int sampleRate);

void writeAudio(const std::string& path, const TestAudio& audio, int format);
TestAudio readAudio(const std::string& path);

// Parameter values by index, set on the engine before it processes.
using EngineParameters = std::vector<std::pair<int, float>>;

// A directly constructed engine at the plug-in's construction rate, fed the
// same blocks the renderer feeds the plug-in.
TestAudio engineResult(const TestAudio& input, int blockSize, const EngineParameters& parameters = {});

// The gain-reduction values such an engine publishes to its listener, in order.
std::vector<float> engineMeterValues(const TestAudio& input, int blockSize, const EngineParameters& parameters);
