// The engine's processing cost in nanoseconds per stereo frame: both host
// calls, compressing and bypassed, at three block sizes, and with a host
// automating the threshold before every block; and a long decay into
// silence, which must cost no more than ordinary audio.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/CompressorEngine.h"

namespace {

constexpr int32_t kSampleRate = 44100;

struct Signal {
    explicit Signal(size_t frames) : left(frames), right(frames), outLeft(frames), outRight(frames) {
        uint32_t seed = 1;
        for (size_t i = 0; i < frames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const float noise = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
            const float loudness = (i / 2048) % 2 ? 0.1f : 0.9f;
            left[i] = loudness * noise;
            right[i] = loudness * 0.7f * noise;
        }
    }
    std::vector<float> left, right, outLeft, outRight;
};

enum class Call { Replacing, Accumulating };

void runEngine(benchmark::State& state, Call call, bool bypass, bool automated = false) {
    const int32_t block = static_cast<int32_t>(state.range(0));
    CompressorEngine engine(kSampleRate, block);
    engine.setParameter(kPower, bypass ? 1.0f : 0.0f);
    // A few seconds of signal, cycled through in blocks, so the envelope
    // sees loud and quiet passages rather than one block over and over.
    Signal signal(size_t{1} << 18);
    const size_t blocks = signal.left.size() / static_cast<size_t>(block);
    size_t index = 0;
    for (auto _ : state) {
        const size_t offset = (index % blocks) * static_cast<size_t>(block);
        // The block takes the new value and computes its coefficients.
        if (automated) engine.receiveParameter(kThreshold, static_cast<float>(index % 101) / 100.0f);
        ++index;
        if (call == Call::Replacing) {
            engine.processReplacing(&signal.left[offset], &signal.right[offset], &signal.outLeft[offset],
                                    &signal.outRight[offset], block);
        } else {
            engine.process(&signal.left[offset], &signal.right[offset], &signal.outLeft[offset],
                           &signal.outRight[offset], block);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * block);
    state.counters["ns_per_frame"] = benchmark::Counter(
        static_cast<double>(state.iterations() * block), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void ReplacingCompress(benchmark::State& state) { runEngine(state, Call::Replacing, false); }
void ReplacingBypass(benchmark::State& state) { runEngine(state, Call::Replacing, true); }
void AccumulatingCompress(benchmark::State& state) { runEngine(state, Call::Accumulating, false); }
void AccumulatingBypass(benchmark::State& state) { runEngine(state, Call::Accumulating, true); }
void ReplacingAutomated(benchmark::State& state) { runEngine(state, Call::Replacing, false, true); }

BENCHMARK(ReplacingCompress)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(ReplacingBypass)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(AccumulatingCompress)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(AccumulatingBypass)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(ReplacingAutomated)->Arg(64)->Arg(512)->Arg(4096);

// For scale: a literal frame-by-frame copy of the same block, as a bypass
// loop would be without the vectorizer.
__attribute__((optimize("no-tree-vectorize"))) void copyFrameByFrame(const float* inLeft, const float* inRight,
                                                                    float* outLeft, float* outRight, int32_t frames) {
    for (int32_t i = 0; i < frames; ++i) {
        outLeft[i] = inLeft[i];
        outRight[i] = inRight[i];
    }
}

void PlainCopyReference(benchmark::State& state) {
    const int32_t block = static_cast<int32_t>(state.range(0));
    Signal signal(static_cast<size_t>(block));
    for (auto _ : state) {
        copyFrameByFrame(signal.left.data(), signal.right.data(), signal.outLeft.data(), signal.outRight.data(), block);
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_frame"] = benchmark::Counter(
        static_cast<double>(state.iterations() * block), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(PlainCopyReference)->Arg(512);

// One second at full scale, then ten seconds of silence, in blocks of 512:
// the envelope decays all the way, through the denormal range when the
// release is fast enough to get there.
void Decay(benchmark::State& state) {
    const float release = static_cast<float>(state.range(0)) / 100.0f;
    constexpr int32_t block = 512;
    std::vector<float> loud(block, 1.0f), silence(block, 0.0f), outLeft(block), outRight(block);
    constexpr int32_t loudBlocks = kSampleRate / block;
    constexpr int32_t silentBlocks = 10 * kSampleRate / block;
    for (auto _ : state) {
        state.PauseTiming();
        CompressorEngine engine(kSampleRate, block);
        engine.setParameter(kRelease, release);
        state.ResumeTiming();
        for (int32_t i = 0; i < loudBlocks; ++i)
            engine.processReplacing(loud.data(), loud.data(), outLeft.data(), outRight.data(), block);
        for (int32_t i = 0; i < silentBlocks; ++i)
            engine.processReplacing(silence.data(), silence.data(), outLeft.data(), outRight.data(), block);
        benchmark::DoNotOptimize(engine.getEnvelope());
    }
    const double frames = static_cast<double>(loudBlocks + silentBlocks) * block;
    state.counters["ns_per_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
// Release at 1 (the slowest) as the product's worst audible case, and at 0,
// whose envelope reaches the denormal range within the ten seconds.
BENCHMARK(Decay)->Arg(100)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
