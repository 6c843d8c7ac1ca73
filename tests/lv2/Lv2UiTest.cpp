// The LV2 UI in a host's X11 window: it must show what the headless editor
// shows after the same presses, turn the panel's edits into port writes and
// messages, show the host's port changes, the meter and the plug-in's
// state, and survive the ways hosts open, close and destroy.
#include <gtest/gtest.h>
#include <lv2/atom/forge.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "EditorOnDisplay.h"
#include "StripPictures.h"
#include "editor/PanelLayout.h"
#include "engine/FactoryPrograms.h"
#include "lv2/StateMessages.h"
#include "tests/lv2/UiOnDisplay.h"

using namespace lv2Ports;

namespace {

constexpr MousePoint kNext = {254, 109};
constexpr MousePoint kCopy = {20, 109};

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.isConnected()) << "these tests need an X display (run them in xvfb-run)";
        topLevelBefore = sorted(display.topLevelWindows());
    }

    void TearDown() override {
        gui.setIdle(nullptr);
        if (!display.isConnected()) return;
        EXPECT_TRUE(eventually([&] { return sorted(display.topLevelWindows()) == topLevelBefore; }))
            << "a top-level window of ours is left on the display";
        EXPECT_TRUE(eventually([&] { return display.pointerIsFree(); })) << "a grab of ours is left on the display";
    }

    static std::vector<xcb_window_t> sorted(std::vector<xcb_window_t> windows) {
        std::sort(windows.begin(), windows.end());
        return windows;
    }

    void idleThese(std::vector<UiOnDisplay*> uis) {
        gui.setIdle([uis] {
            for (UiOnDisplay* ui : uis) ui->idle();
        });
    }

    // The real pointer on the UI, the same presses as messages on the
    // headless editor.
    void drag(UiOnDisplay& ui, const std::vector<MousePoint>& path) {
        display.movePointer(ui.window(), path.front().x, path.front().y);
        display.pressButton(1);
        for (const MousePoint& point : path) display.movePointer(ui.window(), point.x, point.y);
        display.releaseButton(1);
        headless.session().drag(path);
    }

    ::testing::AssertionResult showsAsHeadless(UiOnDisplay& ui, const std::string& name) {
        return showsSoon(display, ui.window(), headless.session().capture(), "lv2-" + name);
    }

    bool nothingInside(xcb_window_t hostWindow) {
        return eventually([&] { return display.children(hostWindow).empty(); });
    }

    using Bytes = std::vector<uint8_t>;

    Bytes stateMessage(const CompressorState& state) {
        alignas(8) uint8_t buffer[512];
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, urids.mapFeature());
        lv2_atom_forge_set_buffer(&forge, buffer, sizeof buffer);
        stateMessages::writeState(&forge, Lv2Urids(urids.mapFeature()), state);
        return Bytes(buffer, buffer + sizeof(LV2_Atom) + reinterpret_cast<LV2_Atom*>(buffer)->size);
    }

    // The readings of a factory program's values, in port order.
    static std::vector<float> programReadings(int program) {
        std::vector<float> readings;
        for (int32_t k = 0; k < kParameterCount; ++k) readings.push_back(portReading(k, factoryPrograms[program][k]));
        return readings;
    }

    // The last reading written to each parameter port; NaN where none was.
    static std::vector<float> lastReadings(const std::vector<PortWrite>& writes) {
        std::vector<float> readings(kParameterCount, std::numeric_limits<float>::quiet_NaN());
        for (const PortWrite& write : writes) {
            if (write.format == 0 && write.touch == PortWrite::Touch::none && isParameterPort(write.port))
                readings[parameterOfPort(write.port)] = write.reading();
        }
        return readings;
    }

    // The program row's states the UI sent to the plug-in, in order.
    std::vector<CompressorState> sentStates(const std::vector<PortWrite>& writes) {
        std::vector<CompressorState> states;
        const Lv2Urids known(urids.mapFeature());
        for (const PortWrite& write : writes) {
            CompressorState state;
            if (write.port == kControl && write.format != 0 &&
                stateMessages::read(write.atom(), known, state) == stateMessages::Kind::state)
                states.push_back(state);
        }
        return states;
    }

    TestDisplay display;
    HostGuiThread gui;
    UridTable urids;
    HeadlessEditor headless;
    std::vector<xcb_window_t> topLevelBefore;
};

}  // namespace

// Opened, the UI tells the host its size, lives in the host's window and
// asks the plug-in for the program row's state. A knob dragged with the real
// pointer shows as in the headless editor and reaches the host as writes to
// its port, and as nothing else in a host without touch gestures; a program
// chosen in the row writes all six ports and sends the row's new state.
TEST_F(Lv2Ui, ShowsTheHeadlessEditorsPicturesAndWritesWhatThePanelChanges) {
    UiOnDisplay ui(display, gui, urids, kHostX, kHostY);
    ASSERT_TRUE(ui.open());
    idleThese({&ui});
    EXPECT_EQ(ui.resizedWidth(), panelLayout::kPanelRect.width);
    EXPECT_EQ(ui.resizedHeight(), panelLayout::kPanelRect.height);
    EXPECT_EQ(display.children(ui.window()), std::vector<xcb_window_t>{xcb_window_t(ui.widget())});
    ASSERT_TRUE(showsAsHeadless(ui, "factory"));
    std::vector<PortWrite> writes = ui.takeWrites();
    ASSERT_EQ(writes.size(), 1u);
    CompressorState unused;
    EXPECT_EQ(stateMessages::read(writes[0].atom(), Lv2Urids(urids.mapFeature()), unused), stateMessages::Kind::stateRequest);

    drag(ui, {{86, 27}, {100, 40}, {112, 55}, {118, 62}});
    ASSERT_TRUE(showsAsHeadless(ui, "ratio-turned"));
    writes = ui.takeWrites();
    ASSERT_GE(writes.size(), 1u);
    for (const PortWrite& write : writes) {
        EXPECT_EQ(write.port, portOfParameter(kRatio));
        EXPECT_EQ(write.touch, PortWrite::Touch::none) << "a gesture the host did not offer";
    }
    const float turned = writes.back().reading();
    EXPECT_GT(turned, portReading(kRatio, factoryPrograms[0][kRatio]));
    EXPECT_LE(turned, 100.0f);

    drag(ui, {kNext});
    ASSERT_TRUE(showsAsHeadless(ui, "program-1"));
    writes = ui.takeWrites();
    // Each port the program moved is written; the others hold its values already.
    const std::vector<float> written = lastReadings(writes);
    for (int32_t k = 0; k < kParameterCount; ++k) {
        const bool moved = k == kRatio || factoryPrograms[1][k] != factoryPrograms[0][k];
        if (moved) {
            EXPECT_EQ(written[k], programReadings(1)[k]) << "parameter " << k;
        } else {
            EXPECT_TRUE(std::isnan(written[k])) << "parameter " << k << " written again";
        }
    }
    const std::vector<CompressorState> sent = sentStates(writes);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].currentProgram, 1);
    EXPECT_EQ(writes.back().port, static_cast<uint32_t>(kControl)) << "the row's state goes after the ports";

    // Copy shows nothing new: its message is the proof that it was pressed.
    drag(ui, {kCopy});
    std::vector<PortWrite> copied;
    EXPECT_TRUE(eventually([&] {
        for (PortWrite& write : ui.takeWrites()) copied.push_back(write);
        return !sentStates(copied).empty();
    }));
    ASSERT_EQ(sentStates(copied).size(), 1u);
    EXPECT_TRUE(sentStates(copied)[0].copySlotFilled);
    EXPECT_TRUE(showsAsHeadless(ui, "copied"));
}

// A host that offers touch gestures hears a knob's hold as one: grabbed at
// the press, the port's writes while the pointer moves, released at the
// release. The host drives every step with an idle of its own, and each
// idle returns while the button is still down: the press's idle with the
// gesture begun, each later one with the port following the pointer.
TEST_F(Lv2Ui, AKnobHeldAcrossIdlesIsATouchGestureThatFollowsThePointer) {
    UiOnDisplay ui(display, gui, urids, kHostX, kHostY);
    ui.offerTouch();
    ASSERT_TRUE(ui.open());
    idleThese({&ui});
    ASSERT_TRUE(showsAsHeadless(ui, "factory"));
    gui.setIdle(nullptr);
    ui.takeWrites();  // the request for the row's state

    std::vector<PortWrite> calls;
    // Idles on the host's thread, one at a time, until the UI has asked
    // for what the condition wants; each returns before the next is made.
    const auto idleUntil = [&](const std::function<bool()>& condition) {
        return eventually([&] {
            gui.run([&] { ui.idle(); });
            for (PortWrite& call : ui.takeWrites()) calls.push_back(call);
            return condition();
        });
    };
    const auto released = [&] {
        return std::any_of(calls.begin(), calls.end(), [](const PortWrite& call) { return call.touch == PortWrite::Touch::released; });
    };
    const std::vector<MousePoint> path = {{86, 27}, {100, 40}, {112, 55}, {118, 62}};
    const uint32_t ratioPort = portOfParameter(kRatio);

    display.movePointer(ui.window(), path[0].x, path[0].y);
    display.pressButton(1);
    ASSERT_TRUE(idleUntil([&] { return !calls.empty(); })) << "the press began no gesture";
    EXPECT_EQ(calls[0].touch, PortWrite::Touch::grabbed);
    EXPECT_EQ(calls[0].port, ratioPort);
    float reading = portReading(kRatio, factoryPrograms[0][kRatio]);
    for (size_t k = 1; k < path.size(); ++k) {
        display.movePointer(ui.window(), path[k].x, path[k].y);
        ASSERT_TRUE(idleUntil([&] { return !calls.empty() && calls.back().touch == PortWrite::Touch::none && calls.back().reading() > reading; }))
            << "the port did not follow the pointer to point " << k;
        reading = calls.back().reading();
        EXPECT_FALSE(released()) << "the gesture ended with the button down";
    }
    display.releaseButton(1);
    ASSERT_TRUE(idleUntil(released));
    EXPECT_EQ(calls.back().touch, PortWrite::Touch::released);
    for (const PortWrite& call : calls) EXPECT_EQ(call.port, ratioPort);
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const PortWrite& call) { return call.touch != PortWrite::Touch::none; }), 2);

    idleThese({&ui});
    headless.session().drag(path);
    EXPECT_TRUE(showsAsHeadless(ui, "ratio-held"));
}

// What the host and the plug-in tell the UI shows on the panel: the ports
// and the row's state of program 1 give the picture of program 1; the meter
// follows the gain-reduction port; the host's echo of the UI's own write
// changes nothing.
TEST_F(Lv2Ui, ShowsTheHostsPortsThePluginsStateAndTheMeter) {
    UiOnDisplay ui(display, gui, urids, kHostX, kHostY);
    ASSERT_TRUE(ui.open());
    idleThese({&ui});
    ASSERT_TRUE(showsAsHeadless(ui, "factory"));
    ui.takeWrites();  // the request for the row's state
    const CapturedImage dark = cutOut(headless.session().capture(), panelLayout::kGainMeter.rect);

    const std::vector<float> readings = programReadings(1);
    for (int32_t k = 0; k < kParameterCount; ++k) ui.portEvent(portOfParameter(k), readings[k]);
    CompressorState state;
    for (float& value : state.copySlot.values) value = 0.0f;
    for (int32_t program = 0; program < kFactoryProgramCount; ++program) {
        for (int32_t k = 0; k < kParameterCount; ++k) state.programs[program].values[k] = factoryPrograms[program][k];
    }
    for (int32_t k = 0; k < kParameterCount; ++k) state.working.values[k] = factoryPrograms[1][k];
    state.currentProgram = 1;
    const Bytes message = stateMessage(state);
    ui.portEvent(kNotify, reinterpret_cast<const LV2_Atom*>(message.data()));
    headless.session().click(kNext.x, kNext.y);  // the headless editor goes to program 1 by its own row
    EXPECT_TRUE(showsAsHeadless(ui, "ports-and-state"));
    const std::vector<PortWrite> writes = ui.takeWrites();
    EXPECT_TRUE(writes.empty()) << "what the host sets is not written back: " << writes.size() << " writes, the first to port "
                                << writes.front().port;

    ui.portEvent(kGainReduction, 0.8f);
    EXPECT_TRUE(eventually([&] { return cutOut(display.read(ui.window()), panelLayout::kGainMeter.rect).pixels != dark.pixels; }))
        << "the meter stayed dark";
    ui.portEvent(kGainReduction, 0.0f);
    EXPECT_TRUE(eventually([&] { return cutOut(display.read(ui.window()), panelLayout::kGainMeter.rect).pixels == dark.pixels; }))
        << "the meter stayed lit";
}

// Two UIs in two host windows, each beside its plug-in, opened and closed
// 200 times in turns, the UI closed before the plug-in and after it; a host
// that destroys its window before it closes the UI. Nothing of ours may stay
// in a host's window or on the display.
TEST_F(Lv2Ui, TwoUisReopenedTwoHundredTimesAndAWindowDestroyedFirst) {
    Lv2TestHost pluginHost;
    UiOnDisplay first(display, gui, urids, kHostX, kHostY);
    UiOnDisplay second(display, gui, urids, kHostX + 340, kHostY);
    idleThese({&first, &second});
    float silence[64] = {};
    for (int round = 0; round < 200; ++round) {
        std::unique_ptr<Lv2Instance> plugins[2] = {std::make_unique<Lv2Instance>(pluginHost, 44100.0),
                                                   std::make_unique<Lv2Instance>(pluginHost, 44100.0)};
        ASSERT_TRUE(first.open()) << "round " << round;
        ASSERT_TRUE(second.open()) << "round " << round;
        for (auto& plugin : plugins) plugin->run(silence, silence, silence, silence, 64);
        if (round % 2) {
            first.close();
            second.close();
            plugins[0].reset();
            plugins[1].reset();
        } else {
            plugins[0].reset();
            plugins[1].reset();
            second.close();
            first.close();
        }
    }
    EXPECT_TRUE(nothingInside(first.window()));
    EXPECT_TRUE(nothingInside(second.window()));
    ASSERT_TRUE(first.open());
    EXPECT_TRUE(showsAsHeadless(first, "reopened"));

    ASSERT_TRUE(second.open());
    second.destroyWindowFirst();
    gui.run([] {});  // an idle or more with the window gone
    second.close();
    first.close();
    EXPECT_TRUE(nothingInside(first.window()));
}
