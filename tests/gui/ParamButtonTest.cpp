// Parameter buttons driven through the window: which values each combination
// of flags steps through, when the pressed picture shows, in which order a
// click is committed, and which presses a button ignores.
#include <gtest/gtest.h>

#include <memory>

#include "GuiTestWindows.h"
#include "HoldProbe.h"
#include "RecordingEngine.h"
#include "StripPictures.h"
#include "gui/FilmstripBitmap.h"
#include "gui/FrameDisplay.h"
#include "gui/MouseTracking.h"
#include "gui/ParamButton.h"

namespace {

constexpr int32_t kPowerButtonBitmap = 130;
constexpr int32_t kPowerLedBitmap = 131;
constexpr int32_t kCopyBitmap = 134;
constexpr PixelRect kPowerRect = {27, 20, 29, 29};
constexpr PixelRect kLedRect = {20, 49, 7, 15};
constexpr PixelRect kCopyRect = {0, 99, 40, 20};

using Flags = ParamButton::Flags;

class ParamButtonTest : public ::testing::Test {
protected:
    RecordingEngine engine;
    TestClient client;
    ClientWindow window{&client};
    std::unique_ptr<FrameDisplay> led;
    std::unique_ptr<ParamButton> button;

    void makeButton(int32_t index, int32_t bitmap, const PixelRect& rect, uint32_t flags, bool withLed = false) {
        if (withLed) {
            led = std::make_unique<FrameDisplay>(kPowerLedBitmap, kLedRect);
            led->setWindow(window.handle());
        }
        button = std::make_unique<ParamButton>(&engine, index, bitmap, rect, flags, led.get());
        button->setWindow(window.handle());
        client.onPress = [this](int32_t x, int32_t y) { button->onMouseDown(x, y); };
        client.onDraw = [this] { button->draw(); };
        button->draw();
    }

    // The values a button writes over a number of clicks from a start value.
    std::vector<float> valuesOverClicks(uint32_t flags, float start, int clicks) {
        engine.setParameter(kRatio, start);
        engine.writes.clear();
        makeButton(kRatio, kCopyBitmap, kCopyRect, flags);
        std::vector<float> values;
        for (int i = 0; i < clicks; ++i) {
            window.click(20, 109);
            settleMessages();
            values.push_back(engine.getParameter(kRatio));
        }
        return values;
    }

    int32_t buttonFrame() const { return button->getBitmap()->getCurrentFrame(); }
    int32_t ledFrame() const { return led->getBitmap()->getCurrentFrame(); }
};

// Power switch: held, the button and its LED show their last frame; released,
// the value steps to 0.5 and both show frame 1; the next click returns to 0.
TEST_F(ParamButtonTest, PowerSwitchShowsPressedFramesWhileHeldAndStepsOnRelease) {
    makeButton(kPower, kPowerButtonBitmap, kPowerRect, 74, true);
    HoldProbe probe;
    struct Held {
        int32_t buttonFrame = -1, ledFrame = -1;
        size_t writes = 99;
        CapturedImage picture;
    } held;
    window.press(41, 34);
    window.move(41, 34);
    probe.post([&] { held = Held{buttonFrame(), ledFrame(), engine.writes.size(), window.capture()}; });
    window.release(41, 34);
    settleMessages();

    ASSERT_EQ(probe.ran(), 1u);
    EXPECT_EQ(held.buttonFrame, 2);
    EXPECT_EQ(held.ledFrame, 2);
    EXPECT_EQ(held.writes, 0u) << "nothing is written before the release";
    EXPECT_TRUE(showsFrame(held.picture, kPowerRect, kPowerButtonBitmap, 2));
    EXPECT_TRUE(showsFrame(held.picture, kLedRect, kPowerLedBitmap, 2));

    EXPECT_EQ(engine.writes, (std::vector<ParameterWrite>{{kPower, 0.5f}}));
    EXPECT_EQ(buttonFrame(), 1);
    EXPECT_EQ(ledFrame(), 1);
    CapturedImage released = window.capture();
    EXPECT_TRUE(showsFrame(released, kPowerRect, kPowerButtonBitmap, 1));
    EXPECT_TRUE(showsFrame(released, kLedRect, kPowerLedBitmap, 1));

    window.click(41, 34);
    settleMessages();
    EXPECT_EQ(engine.getParameter(kPower), 0.0f);
    released = window.capture();
    EXPECT_TRUE(showsFrame(released, kPowerRect, kPowerButtonBitmap, 0));
    EXPECT_TRUE(showsFrame(released, kLedRect, kPowerLedBitmap, 0));
}

// Held, the switch stays down whatever redraws it meanwhile: a repaint of the
// window, or the panel following the engine after a program change.
TEST_F(ParamButtonTest, PowerSwitchStaysDownThroughRedrawsWhileHeld) {
    makeButton(kPower, kPowerButtonBitmap, kPowerRect, 74, true);
    HoldProbe probe;
    CapturedImage repainted, updated;
    window.press(41, 34);
    probe.post([&] {
        InvalidateRect(window.handle(), nullptr, FALSE);
        UpdateWindow(window.handle());
        repainted = window.capture();
        button->update();
        updated = window.capture();
    });
    window.release(41, 34);
    settleMessages();

    for (const CapturedImage* held : {&repainted, &updated}) {
        EXPECT_TRUE(showsFrame(*held, kPowerRect, kPowerButtonBitmap, 2));
        EXPECT_TRUE(showsFrame(*held, kLedRect, kPowerLedBitmap, 2));
    }
    EXPECT_EQ(buttonFrame(), 1);
    EXPECT_EQ(ledFrame(), 1);
}

// The button's own picture changes before the engine hears of the click, and
// the linked display only after: the engine may redraw the whole panel from
// inside its setParameter.
TEST_F(ParamButtonTest, CommitsPictureThenParameterThenDisplay) {
    makeButton(kPower, kPowerButtonBitmap, kPowerRect, 74, true);
    int32_t buttonAtWrite = -1;
    int32_t ledAtWrite = -1;
    engine.onWrite = [&](int32_t, float) {
        buttonAtWrite = buttonFrame();
        ledAtWrite = ledFrame();
    };
    window.press(41, 34);
    window.move(41, 34);
    window.release(41, 34);
    settleMessages();
    EXPECT_EQ(buttonAtWrite, 1);
    EXPECT_EQ(ledAtWrite, 2) << "the display still shows the pressed frame";
    EXPECT_EQ(ledFrame(), 1);
}

TEST_F(ParamButtonTest, PowerSwitchIgnoresPressesOutsideItsCircle) {
    makeButton(kPower, kPowerButtonBitmap, kPowerRect, 74, true);
    const CapturedImage before = window.capture();
    for (PixelPoint corner : {PixelPoint{27, 20}, PixelPoint{56, 20}, PixelPoint{27, 49}, PixelPoint{56, 49}}) {
        window.press(corner.x, corner.y);
        window.move(corner.x, corner.y);
        window.release(corner.x, corner.y);
    }
    settleMessages();
    EXPECT_EQ(client.presses.size(), 4u);
    EXPECT_TRUE(engine.writes.empty());
    EXPECT_TRUE(samePicture(window.capture(), before));
}

// Program buttons: the pressed frame while held, and the command runs once
// with 0 wherever the button is released, whatever the engine reported.
TEST_F(ParamButtonTest, ProgramButtonRunsItsCommandOnceWhereverReleased) {
    engine.answers[kCopyCommand] = 0.7f;
    makeButton(kCopyCommand, kCopyBitmap, kCopyRect, 134);
    HoldProbe probe;
    int32_t heldFrame = -1;
    size_t heldWrites = 99;
    window.press(5, 100);
    window.move(200, 60);
    window.move(-50, 300);
    probe.post([&] {
        heldFrame = buttonFrame();
        heldWrites = engine.writes.size();
    });
    window.release(-50, 300);
    settleMessages();

    EXPECT_EQ(heldFrame, 1);
    EXPECT_EQ(heldWrites, 0u);
    EXPECT_EQ(engine.writes, (std::vector<ParameterWrite>{{kCopyCommand, 0.0f}}));
    EXPECT_EQ(buttonFrame(), 0);
    EXPECT_TRUE(showsFrame(window.capture(), kCopyRect, kCopyBitmap, 0));
}

TEST_F(ParamButtonTest, StepsThroughTheValuesOfItsFlags) {
    const uint32_t rect = Flags::HitRect;
    const uint32_t atOnce = rect | Flags::CycleImmediate;
    const uint32_t onRelease = rect | Flags::CycleOnRelease;
    struct Case {
        uint32_t flags;
        float start;
        std::vector<float> values;
    };
    const Case cases[] = {
        {atOnce | Flags::TwoSteps, 0.0f, {1.0f, 0.0f, 1.0f}},
        {atOnce | Flags::ThreeSteps, 0.0f, {0.5f, 1.0f, 0.0f}},
        // Float sums: 0.6666667 + 0.33333334 exceeds 1, so 1 is never reached.
        {atOnce | Flags::FourSteps, 0.0f, {0.33333334f, 0.6666667f, 0.0f, 0.33333334f}},
        {atOnce | Flags::OneStep, 0.0f, {1.0f, 0.0f}},  // one step means nothing at once
        {atOnce, -2.0f, {1.0f, 0.0f}},
        {onRelease, 0.0f, {0.5f, 0.0f, 0.5f}},
        {onRelease | Flags::TwoSteps, 0.7f, {0.0f, 0.5f}},
        {onRelease | Flags::TwoSteps, -2.0f, {0.5f, 0.0f}},
        // As at once with four steps, the float sum passes its limit early:
        // 0.33333334 + 0.33333334 exceeds 1 - 0.33333334, so two thirds is skipped.
        {onRelease | Flags::ThreeSteps, 0.0f, {0.33333334f, 0.0f, 0.33333334f}},
        {onRelease | Flags::FourSteps, 0.0f, {0.25f, 0.5f, 0.75f, 0.0f}},
        {onRelease | Flags::OneStep, 0.0f, {0.0f, 0.0f}},
        {onRelease | Flags::TwoSteps | Flags::FourSteps, 0.0f, {0.25f, 0.5f}},  // the highest step bit wins
        {atOnce | Flags::CycleOnRelease | Flags::TwoSteps, 0.0f, {1.0f, 0.0f}},  // at once wins
    };
    for (const Case& c : cases) {
        EXPECT_EQ(valuesOverClicks(c.flags, c.start, int(c.values.size())), c.values)
            << "flags 0x" << std::hex << c.flags << " from " << c.start;
    }
}

TEST_F(ParamButtonTest, StepsAtOnceOnThePressWithoutWaitingForTheRelease) {
    engine.setParameter(kRatio, 0.0f);
    makeButton(kRatio, kCopyBitmap, kCopyRect, Flags::HitRect | Flags::CycleImmediate | Flags::TwoSteps);
    engine.writes.clear();
    window.press(20, 109);
    settleMessages();
    EXPECT_EQ(engine.writes, (std::vector<ParameterWrite>{{kRatio, 1.0f}}));
    EXPECT_EQ(currentMouseState().capturedButton, 1) << "the button is still held";
    window.release(20, 109);
    settleMessages();
    EXPECT_EQ(engine.writes.size(), 1u);
}

// A hit without a mode bit, a mode without a hit bit, and with both hit bits
// the circle's answer for a press in the rectangle's corner: nothing changes.
TEST_F(ParamButtonTest, IgnoresPressesItsFlagsGiveNoMeaning) {
    struct Case {
        uint32_t flags;
        PixelPoint press;
    };
    const Case cases[] = {
        {Flags::HitCircle, {20, 109}},
        {Flags::HitRect, {20, 109}},
        {Flags::CycleImmediate | Flags::TwoSteps, {20, 109}},
        {Flags::CycleOnRelease | Flags::TwoSteps, {20, 109}},
        {Flags::HitRect | Flags::HitCircle | Flags::CycleImmediate, {0, 99}},
    };
    for (const Case& c : cases) {
        makeButton(kRatio, kCopyBitmap, kCopyRect, c.flags);
        const CapturedImage before = window.capture();
        window.press(c.press.x, c.press.y);
        window.move(c.press.x, c.press.y);
        window.release(c.press.x, c.press.y);
        settleMessages();
        EXPECT_TRUE(engine.writes.empty()) << "flags 0x" << std::hex << c.flags;
        EXPECT_TRUE(samePicture(window.capture(), before)) << "flags 0x" << std::hex << c.flags;
    }
}

}  // namespace
