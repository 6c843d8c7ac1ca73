// The host's audio thread processes, and so redraws the meter, while its
// user-interface thread opens the editor, switches programs, drags in it and
// closes it again, or loads saved states into it.
// Meant for the thread sanitizer, which reports any data race between them.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "EditorSession.h"
#include "EditorTestSupport.h"
#include "StripPictures.h"
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

}  // namespace
