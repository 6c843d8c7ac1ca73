#include "tests/tools/TestAudio.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/CompressorEngine.h"

TestAudio makeTestSignal(int64_t frames, int channels, int sampleRate) {
    TestAudio audio;
    audio.sampleRate = sampleRate;
    audio.channels = channels;
    audio.left.resize(frames);
    audio.right.resize(frames);
    const double burstSeconds = 0.25;
    for (int64_t i = 0; i < frames; ++i) {
        const double time = static_cast<double>(i) / sampleRate;
        const bool loud = static_cast<int64_t>(time / burstSeconds) % 2 == 0;
        const double amplitude = loud ? 0.9 : 0.03;
        audio.left[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * 220.0 * time));
        audio.right[i] = channels == 1 ? audio.left[i]
                                       : static_cast<float>(amplitude * 0.7 *
                                                            std::sin(2.0 * M_PI * 331.0 * time));
    }
    return audio;
}

void writeAudio(const std::string& path, const TestAudio& audio, int format) {
    SF_INFO info = {};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    std::vector<float> interleaved(audio.left.size() * audio.channels);
    for (size_t i = 0; i < audio.left.size(); ++i) {
        interleaved[i * audio.channels] = audio.left[i];
        if (audio.channels == 2) interleaved[i * 2 + 1] = audio.right[i];
    }
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(audio.left.size()));
    sf_close(file);
}

TestAudio readAudio(const std::string& path) {
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    TestAudio audio;
    audio.sampleRate = info.samplerate;
    audio.channels = info.channels;
    audio.format = info.format;
    std::vector<float> interleaved(static_cast<size_t>(info.frames) * info.channels);
    const sf_count_t frames = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    audio.left.resize(frames);
    audio.right.resize(frames);
    for (sf_count_t i = 0; i < frames; ++i) {
        audio.left[i] = interleaved[i * info.channels];
        audio.right[i] = interleaved[i * info.channels + info.channels - 1];
    }
    return audio;
}

namespace {

// Records what the engine publishes, as the editor's meter reads it.
class MeterRecorder : public CompressorListener {
public:
    explicit MeterRecorder(CompressorEngine& engine) : engine(engine) {}
    void updateControls() override {}
    void updateMeter() override { values.push_back(engine.getVu(0)); }

    CompressorEngine& engine;
    std::vector<float> values;
};

TestAudio runEngine(CompressorEngine& engine, const TestAudio& input, int blockSize,
                    const EngineParameters& parameters) {
    for (const auto& [index, value] : parameters) engine.setParameter(index, value);
    TestAudio output = input;
    output.channels = 2;
    for (int64_t done = 0; done < input.frames(); done += blockSize) {
        const int frames = static_cast<int>(std::min<int64_t>(blockSize, input.frames() - done));
        engine.processReplacing(input.left.data() + done, input.right.data() + done,
                                output.left.data() + done, output.right.data() + done, frames);
    }
    return output;
}

}  // namespace

TestAudio engineResult(const TestAudio& input, int blockSize, const EngineParameters& parameters) {
    CompressorEngine engine(44100.0f, 1024);
    return runEngine(engine, input, blockSize, parameters);
}

std::vector<float> engineMeterValues(const TestAudio& input, int blockSize, const EngineParameters& parameters) {
    CompressorEngine engine(44100.0f, 1024);
    MeterRecorder recorder(engine);
    engine.setListener(&recorder);
    runEngine(engine, input, blockSize, parameters);
    return recorder.values;
}
