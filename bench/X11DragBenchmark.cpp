// What a knob drag costs a Linux host. The built library's editor is open in
// a host window on the X display; the host's user-interface thread calls
// effEditIdle every 15 ms, as hosts do, while the real pointer (XTest) turns
// the threshold knob round for two seconds. Reports the longest effEditIdle
// during the drag (the host's interface stands still for that long), how
// many idles the host got in, and the CPU time the process spent.
//
//   xvfb-run -a bench/x11_drag_benchmark [plug-in library]
//
// Without an argument it measures the library built beside it. A single run
// of two seconds rather than a Google Benchmark case: the figure that
// matters is the worst single idle of one whole gesture.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "TestDisplay.h"
#include "editor/PanelLayout.h"
#include "tools/render/HostedPlugin.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kDragLength = std::chrono::seconds(2);
constexpr auto kIdleInterval = std::chrono::milliseconds(15);
// About the rate at which a mouse reports motion.
constexpr auto kMotionInterval = std::chrono::milliseconds(4);
constexpr int32_t kTurnRadius = 15;

double cpuSeconds(int who = RUSAGE_SELF) {
    rusage usage;
    getrusage(who, &usage);
    const auto seconds = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The host's user-interface thread: opens the editor, then idles it until
// told to stop, timing every idle that begins while a drag is on.
class IdlingHost {
public:
    IdlingHost(HostedPlugin& plugin, xcb_window_t window) : plugin(plugin) {
        thread = std::thread([this, window] { run(window); });
        while (!opened.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~IdlingHost() { stop(); }

    // Closes the editor on the thread and ends it; the figures are read after.
    void stop() {
        stopping = true;
        if (thread.joinable()) thread.join();
    }

    bool editorOpen() const { return answer == 1; }
    void measure(bool on) { measuring = on; }
    double longestIdleMilliseconds() const { return milliseconds(longest); }
    int idlesMeasured() const { return count; }
    double threadCpuSeconds() const { return threadCpuEnd - threadCpuStart; }

private:
    void run(xcb_window_t window) {
        answer = plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(window)), 0.0f);
        opened = true;
        while (!stopping) {
            const bool timed = measuring.load();
            if (timed && count == 0) threadCpuStart = cpuSeconds(RUSAGE_THREAD);
            const Clock::time_point start = Clock::now();
            plugin.dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
            if (timed) {
                longest = std::max(longest, Clock::now() - start);
                ++count;
                threadCpuEnd = cpuSeconds(RUSAGE_THREAD);
            }
            std::this_thread::sleep_for(kIdleInterval);
        }
        if (answer == 1) plugin.dispatch(effEditClose, 0, 0, nullptr, 0.0f);
    }

    HostedPlugin& plugin;
    std::thread thread;
    intptr_t answer = 0;
    std::atomic<bool> opened{false};
    std::atomic<bool> stopping{false};
    std::atomic<bool> measuring{false};
    Clock::duration longest{};
    int count = 0;
    double threadCpuStart = 0.0;
    double threadCpuEnd = 0.0;
};

struct DragFigures {
    double wallSeconds;
    double cpuSeconds;
};

// Pressed inside the knob's circle, the pointer goes round the centre for
// the whole drag and is released straight right of it, where the knob shows
// 0.83.
DragFigures turnKnob(TestDisplay& display, xcb_window_t window, PixelPoint centre) {
    display.movePointer(window, centre.x, centre.y - kTurnRadius);
    // An idle that began before the measuring must not be the one that sees the press.
    std::this_thread::sleep_for(kIdleInterval * 3);
    const Clock::time_point start = Clock::now();
    const double cpuBefore = cpuSeconds();
    display.pressButton(1);
    for (int step = 0; Clock::now() - start < kDragLength; ++step) {
        const double angle = step * 0.05;
        display.movePointer(window, centre.x + int32_t(std::lround(kTurnRadius * std::sin(angle))),
                            centre.y - int32_t(std::lround(kTurnRadius * std::cos(angle))));
        std::this_thread::sleep_for(kMotionInterval);
    }
    display.movePointer(window, centre.x + kTurnRadius, centre.y);
    display.releaseButton(1);
    // The idle that sees the release, and one more.
    std::this_thread::sleep_for(kIdleInterval * 3);
    return DragFigures{std::chrono::duration<double>(Clock::now() - start).count(), cpuSeconds() - cpuBefore};
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : ZQ3R_LIBRARY_PATH;
    TestDisplay display;
    if (!display.isConnected()) {
        std::fprintf(stderr, "no X display: run this in xvfb-run\n");
        return 1;
    }
    PluginLibrary library;
    HostedPlugin plugin;
    std::string error;
    if (!library.load(path, error) || !plugin.create(library.entry(), error) ||
        !plugin.open(44100.0f, 512, false, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const PixelRect& panel = panelLayout::kPanelRect;
    const xcb_window_t window = display.createHostWindow(40, 40, panel.width, panel.height);
    const PixelRect& knob = panelLayout::kThresholdKnob.rect;
    const PixelPoint centre = {knob.x + knob.width / 2, knob.y + knob.height / 2};

    DragFigures figures{};
    double longestIdle = 0.0;
    double hostThreadCpu = 0.0;
    int idles = 0;
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
    {
        IdlingHost host(plugin, window);
        if (!host.editorOpen()) {
            std::fprintf(stderr, "the editor did not open on the display\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // shown, and quiet
        before = plugin.getChunk(false);
        host.measure(true);
        figures = turnKnob(display, window, centre);
        host.measure(false);
        host.stop();
        after = plugin.getChunk(false);
        longestIdle = host.longestIdleMilliseconds();
        idles = host.idlesMeasured();
        hostThreadCpu = host.threadCpuSeconds();
    }
    plugin.close();
    display.destroyWindow(window);

    std::printf("library:              %s\n", path.c_str());
    std::printf("drag:                 %.2f s on the threshold knob, %s\n", figures.wallSeconds,
                before != after ? "which turned" : "which did NOT turn");
    std::printf("longest effEditIdle:  %.1f ms\n", longestIdle);
    std::printf("idles during drag:    %d (one every %.0f ms asked for)\n", idles, milliseconds(kIdleInterval));
    std::printf("process CPU in drag:  %.3f s (%.0f %% of one core), of which the host's idling thread %.3f s\n",
                figures.cpuSeconds, 100.0 * figures.cpuSeconds / figures.wallSeconds, hostThreadCpu);
    // The drag must have reached the knob, or the figures measure nothing.
    return before == after ? 1 : 0;
}
