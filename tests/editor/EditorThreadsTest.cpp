// The host's audio thread processes, and so redraws the meter, while its
// user-interface thread opens the editor, switches programs, drags in it and
// closes it again, or loads saved states into it; the host sets parameters
// from both threads at once.
// Meant for the thread sanitizer, which reports any data race between them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "EditorSession.h"
#include "EditorTestSupport.h"
#include "StripPictures.h"
#include "editor/AboutBox.h"
#include "editor/CompressorEditor.h"
#include "editor/PanelLayout.h"
#include "engine/CompressorEngine.h"
#include "engine/FactoryPrograms.h"
#include "gui/FilmstripBitmap.h"
#include "gui/GainMeter.h"

namespace {

// Loud and quiet stretches, so that the meter keeps changing its frame.
void runAudio(AEffect* record, const std::atomic<bool>& running, std::atomic<int>& blocks) {
    constexpr int32_t kBlock = 128;
    std::vector<float> left(kBlock), right(kBlock), outLeft(kBlock), outRight(kBlock);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (int block = 0; running.load(); ++block) {
        const float level = (block / 20) % 2 ? 0.9f : 0.02f;
        for (int32_t i = 0; i < kBlock; ++i) left[i] = right[i] = i % 2 ? level : -level;
        record->processReplacing(record, inputs, outputs, kBlock);
        blocks.fetch_add(1);
    }
}

TEST(EditorThreads, AudioRunsWhileTheEditorIsOpenedDraggedAndClosed) {
    PluginInstance plugin;
    plugin.engine()->setParameter(kRatio, 1.0f);
    plugin.engine()->setParameter(kThreshold, 0.0f);
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};
    std::thread audio(runAudio, plugin.record(), std::cref(running), std::ref(blocks));

    for (int round = 0; round < 2; ++round) {
        EditorSession session(plugin.record());
        ASSERT_TRUE(session.isOpen());
        for (int step = 0; step < 10; ++step) {
            const int awaited = blocks.load() + 20;
            session.click(254, 109);  // next program and back: the panel redraws every control
            session.click(234, 109);
            session.drag({{174, 30}, {160, 42}, {190, 42}, {174, 27}});  // the attack knob, ending straight up
            session.click(41, 34);                                      // the power switch, twice
            session.click(41, 34);
            session.repaint();
            while (blocks.load() < awaited) std::this_thread::yield();
        }
        EXPECT_EQ(plugin.engine()->getCurrentProgram(), 0);
        EXPECT_EQ(plugin.engine()->getParameter(kAttack), 0.5f);
        EXPECT_EQ(plugin.engine()->getParameter(kPower), 0.0f);
    }
    running = false;
    audio.join();

    // Quiet now: what the meter shows is what it last took.
    EditorSession session(plugin.record());
    session.repaint();
    const FilmstripBitmap* meter = plugin.editor()->getGainMeter()->getBitmap();
    EXPECT_TRUE(showsFrame(session.capture(), panelLayout::kGainMeter.rect, panelLayout::kGainMeter.bitmapId,
                           meter->getCurrentFrame()));
}

// The panel repaints on the user-interface thread while the audio thread
// publishes meter values, so both draw the meter at once. Whichever draws
// last, the meter must end on the frame of the last value published.
TEST(EditorThreads, MeterEndsOnTheLastPublishedValueWhicheverThreadDrawsLast) {
    PluginInstance plugin;
    plugin.engine()->setParameter(kRatio, 1.0f);
    plugin.engine()->setParameter(kThreshold, 0.0f);
    EditorSession session(plugin.record());
    const FilmstripBitmap* meter = plugin.editor()->getGainMeter()->getBitmap();
    const PixelRect& meterRect = panelLayout::kGainMeter.rect;
    for (int round = 0; round < 200; ++round) {
        std::atomic<int> repaints{0};
        std::atomic<bool> finished{false};
        std::thread audio([&] {
            // Loud and quiet meter intervals in turn, until the panel has
            // repainted a few times, then one last value.
            for (int interval = 0; repaints.load() < 5; ++interval) {
                plugin.processConstant(interval % 2 ? 0.9f : 0.05f + 0.01f * (round % 10), 881);
            }
            plugin.processConstant(0.3f + 0.05f * (round % 8), 881);
            finished = true;
        });
        while (!finished.load()) {
            session.repaint();
            repaints.fetch_add(1);
        }
        audio.join();
        const int32_t expected = meter->frameFor(plugin.engine()->getVu(0));
        ASSERT_TRUE(showsFrame(session.capture(), meterRect, panelLayout::kGainMeter.bitmapId, expected))
            << "round " << round;
    }
}

// Hosts that run one user-interface thread per plug-in window open and close
// editors on several threads at once. The class stays registered while any
// editor is open, so every open gets its window, and every close takes it.
TEST(EditorThreads, EditorsOpenAndCloseOnTwoThreadsAtOnce) {
    auto openAndClose = [](std::atomic<int>& failures) {
        PluginInstance plugin;
        HostWindow host(kEditorWidth, kEditorHeight);
        for (int cycle = 0; cycle < 100; ++cycle) {
            if (plugin.dispatch(effEditOpen, 0, host.handle()) != 1 || !host.editorWindow()) ++failures;
            plugin.dispatch(effEditIdle);
            plugin.dispatch(effEditClose);
            if (GetWindow(host.handle(), GW_CHILD)) ++failures;
        }
    };
    std::atomic<int> failures{0};
    std::thread first(openAndClose, std::ref(failures));
    std::thread second(openAndClose, std::ref(failures));
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(panelClassUsers, 0);
    EXPECT_FALSE(genericClassRegistered());
}

// Waits until the condition holds; false after a few seconds.
bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A Windows host's user-interface thread: it opens the editor in a window of
// its own, clicks the about box open, and pumps its messages until it ends;
// told to, it stops pumping for a while, as a thread busy in the host's own
// code. It touches the instance only to open the editor.
class HostUserInterfaceThread {
public:
    explicit HostUserInterfaceThread(AEffect* record) : thread([this, record] { run(record); }) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return ready; });
    }
    ~HostUserInterfaceThread() { end(); }

    HWND hostWindow() const { return window; }
    HWND editorWindow() const { return window ? GetWindow(window, GW_CHILD) : nullptr; }
    void hold(bool held) { holding = held; }
    void end() {
        ending = true;
        if (thread.joinable()) thread.join();
        window = nullptr;
    }

private:
    static void pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }

    void run(AEffect* record) {
        HostWindow host(kEditorWidth, kEditorHeight);
        record->dispatcher(record, effEditOpen, 0, 0, host.handle(), 0.0f);
        const HWND editor = GetWindow(host.handle(), GW_CHILD);
        const LPARAM aboutHotZone = MAKELPARAM(250, 80);
        PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, aboutHotZone);
        PostMessageA(editor, WM_LBUTTONUP, 0, aboutHotZone);
        pump();
        {
            std::lock_guard<std::mutex> lock(mutex);
            window = host.handle();
            ready = true;
        }
        changed.notify_all();
        while (!ending.load()) {
            if (!holding.load()) pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool ready = false;
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> holding{false};
    std::atomic<bool> ending{false};
    std::thread thread;
};

// Windows lets only the thread that made a window destroy it. Closed from
// another thread, the editor asks its own thread to destroy its windows and
// returns at once, even while that thread is busy: they go as soon as it
// pumps again, and nothing of the closed editor answers their messages.
TEST(EditorThreads, EditorClosedOnAnotherThreadLeavesTheHostsWindowOnceItsThreadPumps) {
    PluginInstance plugin;
    HostUserInterfaceThread host(plugin.record());
    ASSERT_NE(host.editorWindow(), nullptr);
    ASSERT_EQ(aboutPopupCount(), 1);
    host.hold(true);
    plugin.dispatch(effEditClose);
    host.hold(false);
    EXPECT_TRUE(eventually([&] { return host.editorWindow() == nullptr; })) << "the editor's window stays";
    EXPECT_TRUE(eventually([] { return aboutPopupCount() == 0; })) << "the about box stays";
    EXPECT_EQ(panelClassUsers, 0);

    // The instance goes while its windows' thread lives on.
    plugin.close();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    host.end();
}

// The thread that opened the editor has ended, and its windows with it: a
// close from another thread finds nothing to wait for, and the editor opens
// again on this thread.
TEST(EditorThreads, EditorWhoseThreadEndedClosesAndOpensAgainOnAnotherThread) {
    PluginInstance plugin;
    HostUserInterfaceThread(plugin.record()).end();
    plugin.dispatch(effEditClose);
    EXPECT_EQ(aboutPopupCount(), 0);
    EditorSession session(plugin.record());
    ASSERT_TRUE(session.isOpen());
    session.repaint();
    EXPECT_TRUE(matchesReference(session.capture(), "factory"));
}

// A host that loads sessions, presets and undo steps while the song plays.
TEST(EditorThreads, AudioRunsWhileTheHostLoadsStatesIntoTheOpenEditor) {
    PluginInstance plugin;
    std::vector<uint8_t> chunks[2][2];  // by state: the whole state, the preset
    for (int state = 0; state < 2; ++state) {
        plugin.engine()->setParameter(kThreshold, state ? 0.1f : 0.0f);
        plugin.engine()->setParameter(kCopyCommand, 0.0f);
        plugin.engine()->setParameter(kNextCommand, 0.0f);
        for (int preset = 0; preset < 2; ++preset) {
            void* data = nullptr;
            const intptr_t size = plugin.record()->dispatcher(plugin.record(), effGetChunk, preset, 0, &data, 0.0f);
            ASSERT_GT(size, 0);
            chunks[state][preset].assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        }
    }
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};
    std::thread audio(runAudio, plugin.record(), std::cref(running), std::ref(blocks));

    EditorSession session(plugin.record());
    ASSERT_TRUE(session.isOpen());
    for (int load = 0; load < 200; ++load) {
        const int preset = load % 3 == 0;
        std::vector<uint8_t>& chunk = chunks[load % 2][preset];
        EXPECT_EQ(plugin.record()->dispatcher(plugin.record(), effSetChunk, preset,
                                              static_cast<intptr_t>(chunk.size()), chunk.data(), 0.0f),
                  1);
        session.idle();
        if (load % 20 == 0) {
            const int awaited = blocks.load() + 5;
            while (blocks.load() < awaited) std::this_thread::yield();
        }
    }
    running = false;
    audio.join();
    EXPECT_EQ(plugin.engine()->getCurrentProgram(), 2);
    EXPECT_EQ(plugin.engine()->getParameter(kThreshold), factoryPrograms[2][kThreshold]);
}

// Automation arrives on the audio thread while the host's generic controls
// write on the user-interface thread, where the editor is dragged and idled.
// Whatever the order, the parameters end with the last value written and the
// audio runs with exactly their coefficients.
TEST(EditorThreads, TheHostSetsParametersFromTheAudioAndUserInterfaceThreadsAtOnce) {
    PluginInstance plugin;
    AEffect* record = plugin.record();
    EditorSession session(record);
    ASSERT_TRUE(session.isOpen());
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        constexpr int32_t kBlock = 64;
        std::vector<float> left(kBlock, 0.5f), right(kBlock, -0.5f), outLeft(kBlock), outRight(kBlock);
        float* inputs[] = {left.data(), right.data()};
        float* outputs[] = {outLeft.data(), outRight.data()};
        for (int block = 0; running.load(); ++block) {
            record->setParameter(record, block % kParameterCount, static_cast<float>(block % 97) / 96.0f);
            record->processReplacing(record, inputs, outputs, kBlock);
            blocks.fetch_add(1);
        }
    });
    for (int round = 0; round < 300; ++round) {
        record->setParameter(record, (round * 5) % kParameterCount, static_cast<float>(round % 89) / 88.0f);
        session.idle();
        if (round % 30 == 0) session.drag({{218, 27}, {235, 38}, {218, 27}});  // release, ending straight up
    }
    const int awaited = blocks.load() + 10;
    while (blocks.load() < awaited) std::this_thread::yield();
    running = false;
    audio.join();

    plugin.processConstant(0.5f, 64);
    const CompressorEngine::Coefficients used = plugin.engine()->getBlockCoefficients();
    const CompressorEngine::Coefficients expected = plugin.engine()->getCoefficients();
    EXPECT_EQ(std::memcmp(&used, &expected, sizeof used), 0);
}

// Hosts that give each plug-in window its own thread ask for the editor's
// rectangle on both at once: the one rectangle of the process is never
// written, so they cannot race.
TEST(EditorThreads, InstancesAskForTheRectangleOnTwoThreadsAtOnce) {
    PluginInstance first;
    PluginInstance second;
    std::atomic<int> ready{0};
    auto ask = [&ready](const PluginInstance* plugin, std::atomic<int>& wrong) {
        ready.fetch_add(1);
        while (ready.load() < 2) std::this_thread::yield();
        for (int call = 0; call < 1000; ++call) {
            ERect* rect = nullptr;
            if (plugin->dispatch(effEditGetRect, 0, &rect) != 1 || !rect || rect->top != 0 || rect->left != 0 ||
                rect->bottom != kEditorHeight || rect->right != kEditorWidth)
                ++wrong;
        }
    };
    std::atomic<int> wrong{0};
    std::thread one(ask, &first, std::ref(wrong));
    std::thread other(ask, &second, std::ref(wrong));
    one.join();
    other.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
