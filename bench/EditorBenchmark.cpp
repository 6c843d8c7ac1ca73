// What the editor costs a host. On the host's user-interface thread: one
// effEditIdle with the built library's editor open in a window on the X
// display, when nothing happens and while the meter moves. On the audio
// thread: one processing call of a meter interval (881 frames at 44.1 kHz,
// so one meter update each), with the editor closed, open headless (the
// plug-in linked in, as our tests and tools run it) and open on the display.
// The cases on the display need one: run this in xvfb-run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "EditorSession.h"
#include "TestDisplay.h"
#include "editor/PanelLayout.h"
#include "engine/CompressorPlugin.h"
#include "tools/render/HostedPlugin.h"

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr int kMeterInterval = 881;
// Every other interval is at full scale, the ones between at a level that
// falls through a cycle of 16: every meter update lights another number of
// LEDs, so every one redraws them (the benchmark counts it).
constexpr int kLevelSteps = 16;

struct MeterSignal {
    MeterSignal() : left(size_t(kMeterInterval) * kLevelSteps), right(left.size()), out(left.size()) {
        for (size_t i = 0; i < left.size(); ++i) {
            const size_t step = i / kMeterInterval;
            const float level = step % 2 ? std::pow(10.0f, -2.0f * float(step) / kLevelSteps) : 1.0f;
            left[i] = i % 2 ? level : -level;
            right[i] = left[i] * 0.5f;
        }
    }
    void process(HostedPlugin& plugin, size_t step) {
        const size_t offset = (step % kLevelSteps) * kMeterInterval;
        plugin.process(&left[offset], &right[offset], &out[offset], &out[offset], kMeterInterval);
    }
    std::vector<float> left, right, out;
};

enum class Editor { closed, headless, onDisplay };

// One instance with its editor as the case wants it; the display's editor is
// in a host window of its own, on this thread.
class BenchInstance {
public:
    BenchInstance(Editor editor, benchmark::State& state) {
        std::string error;
        if (editor == Editor::onDisplay) {
            if (!display.isConnected()) {
                state.SkipWithError("no X display: run the benchmark in xvfb-run");
                return;
            }
            if (!library.load(ZQ3R_LIBRARY_PATH, error)) {
                state.SkipWithError(error.c_str());
                return;
            }
        } else {
            library.useLinkedPlugin();
        }
        if (!plugin.create(library.entry(), error) || !plugin.open(kSampleRate, kMeterInterval, false, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        plugin.start();
        if (editor == Editor::headless) session.reset(new EditorSession(plugin.record()));
        if (editor == Editor::onDisplay) openOnDisplay(state);
    }

    ~BenchInstance() {
        if (hostWindow) plugin.dispatch(effEditClose, 0, 0, nullptr, 0.0f);
        session.reset();
        plugin.close();
        if (hostWindow) display.destroyWindow(hostWindow);
    }

    void idle() { plugin.dispatch(effEditIdle, 0, 0, nullptr, 0.0f); }
    HostedPlugin& instance() { return plugin; }

private:
    void openOnDisplay(benchmark::State& state) {
        hostWindow = display.createHostWindow(16, 16, panelLayout::kPanelRect.width, panelLayout::kPanelRect.height);
        if (plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(hostWindow)), 0.0f) != 1) {
            state.SkipWithError("the editor did not open on the display");
            return;
        }
        // The first picture, and the display's answer to it, before timing.
        for (int i = 0; i < 20; ++i) idle();
        display.sync();
        for (int i = 0; i < 20; ++i) idle();
    }

    TestDisplay display;
    PluginLibrary library;
    HostedPlugin plugin;
    std::unique_ptr<EditorSession> session;
    xcb_window_t hostWindow = 0;
};

void idleQuiet(benchmark::State& state) {
    BenchInstance bench(Editor::onDisplay, state);
    for (auto _ : state) bench.idle();
}
BENCHMARK(idleQuiet)->Name("effEditIdle/on display/nothing happens")->Unit(benchmark::kMicrosecond);

// The audio runs between idles, untimed, as another thread would run it;
// each idle then pushes the meter's new picture.
void idleWithMovingMeter(benchmark::State& state) {
    BenchInstance bench(Editor::onDisplay, state);
    MeterSignal signal;
    size_t step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        signal.process(bench.instance(), step++);
        state.ResumeTiming();
        bench.idle();
    }
}
BENCHMARK(idleWithMovingMeter)->Name("effEditIdle/on display/meter moving")->Unit(benchmark::kMicrosecond);

// The meter's LED count after a call, read behind the record of the plug-in
// linked in; the library on the display processes the same signal alike.
int32_t litLeds(HostedPlugin& plugin) {
    CompressorEngine* engine = static_cast<CompressorPlugin*>(static_cast<EffectBase*>(plugin.record()->object));
    return static_cast<int32_t>(15.0f * engine->getVu(0) + 0.5f);
}

void meterInterval(benchmark::State& state, Editor editor) {
    BenchInstance bench(editor, state);
    MeterSignal signal;
    size_t step = 0;
    for (auto _ : state) signal.process(bench.instance(), step++);
    if (editor == Editor::onDisplay) return;
    // How often an update redraws the LEDs rather than finding them as they are.
    int32_t changes = 0;
    int32_t previous = litLeds(bench.instance());
    for (size_t i = 0; i < kLevelSteps * 4; ++i) {
        signal.process(bench.instance(), step++);
        const int32_t lit = litLeds(bench.instance());
        changes += lit != previous;
        previous = lit;
    }
    state.counters["LED changes per update"] = double(changes) / (kLevelSteps * 4);
}
BENCHMARK_CAPTURE(meterInterval, closed, Editor::closed)->Name("process 881 frames/editor closed");
BENCHMARK_CAPTURE(meterInterval, headless, Editor::headless)->Name("process 881 frames/editor open headless");
BENCHMARK_CAPTURE(meterInterval, onDisplay, Editor::onDisplay)->Name("process 881 frames/editor open on display");

}  // namespace

BENCHMARK_MAIN();
