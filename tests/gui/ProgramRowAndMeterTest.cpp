// The program row as one control (six buttons and the name display, which
// follows the engine's program position) and the LED gain meter, which the
// engine drives from the audio path.
#include <gtest/gtest.h>

#include <limits>

#include "GuiTestWindows.h"
#include "RecordingEngine.h"
#include "StripPictures.h"
#include "editor/PanelLayout.h"
#include "engine/CompressorListener.h"
#include "gui/ButtonGroup.h"
#include "gui/FilmstripBitmap.h"
#include "gui/FrameDisplay.h"
#include "gui/GainMeter.h"
#include "gui/MouseTracking.h"
#include "gui/ParamButton.h"

namespace {

using namespace panelLayout;

ParamButton* programButton(CompressorEngine* engine, const ControlLayout& layout) {
    return new ParamButton(engine, layout.index, layout.bitmapId, layout.rect, layout.flags, nullptr);
}

// The row as the panel builds it, redrawn as the panel redraws it when the
// engine reports a program change.
class ProgramRowTest : public ::testing::Test, public CompressorListener {
protected:
    RecordingEngine engine;
    TestClient client;
    ClientWindow window{&client};
    ButtonGroup group{&engine,
                      kButtonGroupIndex,
                      {programButton(&engine, kCopyButton), programButton(&engine, kPasteButton),
                       programButton(&engine, kResetButton), programButton(&engine, kNextButton),
                       programButton(&engine, kPreviousButton), programButton(&engine, kPresetButton)},
                      new FrameDisplay(kProgramName.bitmapId, kProgramName.rect)};

    void SetUp() override {
        engine.setListener(this);
        group.setWindow(window.handle());
        client.onPress = [this](int32_t x, int32_t y) { group.onMouseDown(x, y); };
        client.onDraw = [this] { group.draw(); };
        group.draw();
        engine.writes.clear();
    }
    void TearDown() override { engine.setListener(nullptr); }

    void updateControls() override { group.update(); }
    void updateMeter() override {}

    int32_t nameFrame() const { return group.getNameDisplay()->getBitmap()->getCurrentFrame(); }
};

TEST_F(ProgramRowTest, SetWindowReachesEveryMember) {
    for (int32_t i = 0; i < ButtonGroup::kButtonCount; ++i)
        EXPECT_EQ(group.getButton(i)->getBitmap()->getWindow(), window.handle()) << i;
    EXPECT_EQ(group.getNameDisplay()->getBitmap()->getWindow(), window.handle());
}

TEST_F(ProgramRowTest, NameDisplayShowsTheCurrentProgram) {
    engine.setParameter(kNextCommand, 0.0f);
    engine.setParameter(kNextCommand, 0.0f);
    group.draw();
    EXPECT_EQ(nameFrame(), 2);
    const CapturedImage picture = window.capture();
    EXPECT_TRUE(showsFrame(picture, kProgramName.rect, kProgramName.bitmapId, 2));
    for (const ControlLayout* button : {&kCopyButton, &kPasteButton, &kResetButton, &kNextButton,
                                        &kPreviousButton, &kPresetButton})
        EXPECT_TRUE(showsFrame(picture, button->rect, button->bitmapId, 0)) << button->bitmapId;
}

TEST_F(ProgramRowTest, NextOnTheLastProgramWrapsToTheFirst) {
    for (int i = 0; i < 3; ++i) engine.setParameter(kNextCommand, 0.0f);
    EXPECT_EQ(nameFrame(), 3);
    engine.writes.clear();
    window.click(254, 109);
    settleMessages();
    EXPECT_EQ(engine.writes, (std::vector<ParameterWrite>{{kNextCommand, 0.0f}}));
    EXPECT_EQ(engine.getCurrentProgram(), 0);
    EXPECT_EQ(nameFrame(), 0);
    EXPECT_TRUE(showsFrame(window.capture(), kProgramName.rect, kProgramName.bitmapId, 0));
}

// Every button is offered every press, in the row's order; on the column two
// buttons share, both take it.
TEST_F(ProgramRowTest, PressOnASharedEdgeRunsBothCommandsInOrder) {
    window.click(40, 109);
    settleMessages();
    EXPECT_EQ(engine.writes, (std::vector<ParameterWrite>{{kCopyCommand, 0.0f}, {kPasteCommand, 0.0f}}));
    engine.writes.clear();
    window.click(244, 109);  // next and previous
    settleMessages();
    EXPECT_EQ(engine.writes, (std::vector<ParameterWrite>{{kNextCommand, 0.0f}, {kPreviousCommand, 0.0f}}));
}

TEST(ProgramRow, MissingMembersAreSkipped) {
    RecordingEngine engine;
    TestClient client;
    ClientWindow window(&client);
    ButtonGroup group(&engine, kButtonGroupIndex,
                      {nullptr, programButton(&engine, kPasteButton), nullptr, nullptr, nullptr, nullptr}, nullptr);
    group.setWindow(window.handle());
    group.draw();
    group.update();
    client.onPress = [&](int32_t x, int32_t y) { group.onMouseDown(x, y); };
    window.click(60, 109);
    window.click(10, 109);
    settleMessages();
    EXPECT_EQ(engine.writes, (std::vector<ParameterWrite>{{kPasteCommand, 0.0f}}));
}

class GainMeterTest : public ::testing::Test {
protected:
    RecordingEngine engine;
    TestClient client;
    ClientWindow window{&client};
    GainMeter meter{&engine, kGainMeter.index, kGainMeter.bitmapId, kGainMeter.rect};

    int32_t litFrame() const { return meter.getBitmap()->getCurrentFrame(); }
    bool shows(int32_t frame) const {
        return showsFrame(window.capture(), kGainMeter.rect, kGainMeter.bitmapId, frame);
    }
};

// The audio path may update the meter before the editor has been opened.
TEST_F(GainMeterTest, WithoutAWindowReadsTheValueAndDrawsNothing) {
    engine.vu = 0.5f;
    meter.update();
    meter.draw();
    EXPECT_EQ(engine.vuReads, 2);
    EXPECT_EQ(litFrame(), 0);
}

TEST_F(GainMeterTest, LightsTheNearestNumberOfLeds) {
    meter.setWindow(window.handle());
    engine.vu = 0.5f;
    meter.draw();
    EXPECT_EQ(litFrame(), 8);
    EXPECT_TRUE(shows(8));

    engine.vu = 0.0333f;
    meter.update();
    EXPECT_EQ(litFrame(), 0);
    EXPECT_TRUE(shows(0));
    engine.vu = 0.0334f;
    meter.update();
    EXPECT_EQ(litFrame(), 1);
    EXPECT_TRUE(shows(1));
}

// The engine bounds its value only for negative ratios; whatever comes, the
// meter shows a frame of its strip.
TEST_F(GainMeterTest, ValuesBeyondTheScaleShowTheEndsOfTheStrip) {
    meter.setWindow(window.handle());
    engine.vu = 1.8f;
    meter.update();
    EXPECT_EQ(litFrame(), 15);
    EXPECT_TRUE(shows(15));
    engine.vu = std::numeric_limits<float>::quiet_NaN();
    meter.update();
    EXPECT_EQ(litFrame(), 0);
    EXPECT_TRUE(shows(0));
}

// The panel takes the window away when it closes: the audio path's updates
// must then leave the old window alone.
TEST_F(GainMeterTest, ForgetsTheWindowWhenToldAndDrawsNoMore) {
    meter.setWindow(window.handle());
    meter.draw();
    meter.setWindow(nullptr);
    const CapturedImage before = window.capture();
    engine.vu = 0.9f;
    meter.update();
    meter.draw();
    EXPECT_EQ(litFrame(), 0);
    EXPECT_TRUE(samePicture(window.capture(), before));
}

// Nothing registers the latency window's class: a click on the meter shows
// nothing, however often it comes.
TEST_F(GainMeterTest, PressOpensNoLatencyWindow) {
    meter.setWindow(window.handle());
    client.onPress = [this](int32_t x, int32_t y) { meter.onMouseDown(x, y); };
    for (int i = 0; i < 3; ++i) window.click(20, 74);
    settleMessages();
    EXPECT_EQ(client.presses.size(), 3u);
    EXPECT_EQ(meter.getLatencyWindow(), nullptr);
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "LatencyWindowClass", nullptr), nullptr);
    EXPECT_EQ(currentMouseState().capturedButton, kNoButton) << "no hold was started";
}

}  // namespace
