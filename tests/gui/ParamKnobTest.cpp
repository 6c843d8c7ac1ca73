// Knobs: the pointer's angle about the centre becomes the value, over 270
// degrees with the gap at the bottom; the value follows every pass of the
// hold, from the press on.
#include <gtest/gtest.h>

#include <memory>

#include "GuiTestWindows.h"
#include "RecordingEngine.h"
#include "StripPictures.h"
#include "gui/FilmstripBitmap.h"
#include "gui/ParamKnob.h"

namespace {

constexpr int32_t kKnobBitmap = 132;
constexpr PixelRect kKnobRect = {64, 20, 44, 44};  // centre (86, 42), radius 22

TEST(ParamKnobAngle, MapsTheAngleClockwiseFromLowerLeftToLowerRight) {
    EXPECT_EQ(ParamKnob::valueForOffset(0, -10), 0.5f);         // straight up
    EXPECT_EQ(ParamKnob::valueForOffset(10, 0), 0.8333333f);    // right
    EXPECT_EQ(ParamKnob::valueForOffset(-10, 0), 0.16666667f);  // left
    EXPECT_EQ(ParamKnob::valueForOffset(-10, -10), 0.33333334f);
    EXPECT_EQ(ParamKnob::valueForOffset(10, -10), 0.6666667f);
    EXPECT_EQ(ParamKnob::valueForOffset(-10, 10), 0.0f);  // 135 degrees either way: the ends
    EXPECT_EQ(ParamKnob::valueForOffset(10, 10), 1.0f);
}

// In the gap at the bottom the value is held at the nearer end, and it jumps
// from 0 to 1 at the vertical below the centre. The centre itself and the
// point straight below it give 0.
TEST(ParamKnobAngle, JumpsAtTheBottom) {
    EXPECT_EQ(ParamKnob::valueForOffset(-1, 20), 0.0f);
    EXPECT_EQ(ParamKnob::valueForOffset(0, 20), 0.0f);
    EXPECT_EQ(ParamKnob::valueForOffset(1, 20), 1.0f);
    EXPECT_EQ(ParamKnob::valueForOffset(0, 0), 0.0f);
    EXPECT_EQ(ParamKnob::valueForOffset(0, -1), 0.5f);
}

class ParamKnobTest : public ::testing::Test {
protected:
    RecordingEngine engine;
    TestClient client;
    ClientWindow window{&client};
    ParamKnob knob{&engine, kThreshold, kKnobBitmap, kKnobRect, nullptr};

    void SetUp() override {
        knob.setWindow(window.handle());
        client.onPress = [this](int32_t x, int32_t y) { knob.onMouseDown(x, y); };
        client.onDraw = [this] { knob.draw(); };
        knob.draw();
        engine.writes.clear();
    }

    std::vector<float> writtenValues() const {
        std::vector<float> values;
        for (const ParameterWrite& write : engine.writes) {
            EXPECT_EQ(write.index, kThreshold);
            values.push_back(write.value);
        }
        return values;
    }
};

TEST_F(ParamKnobTest, CentreIsTheMiddleOfItsRectangle) {
    EXPECT_EQ(knob.centre().x, 86);
    EXPECT_EQ(knob.centre().y, 42);
}

// The press turns the knob to its own angle and returns with the knob held;
// each move after it turns it further, until the release.
TEST_F(ParamKnobTest, PressTurnsTheKnobAtOnceAndEachMoveTurnsItFurther) {
    window.press(86, 25);
    settleMessages();
    EXPECT_EQ(writtenValues(), std::vector<float>{0.5f});
    EXPECT_EQ(knob.getBitmap()->getCurrentFrame(), 25);
    EXPECT_TRUE(showsFrame(window.capture(), kKnobRect, kKnobBitmap, 25));
    EXPECT_EQ(GetCapture(), window.handle());

    window.move(108, 42);  // straight right
    settleMessages();
    EXPECT_EQ(writtenValues(), (std::vector<float>{0.5f, 0.8333333f}));
    EXPECT_TRUE(showsFrame(window.capture(), kKnobRect, kKnobBitmap, 41));

    window.release(108, 42);
    window.move(64, 42);
    settleMessages();
    EXPECT_EQ(writtenValues().size(), 2u);
    EXPECT_EQ(GetCapture(), nullptr);
}

// Written on every pass, moved or not; the picture follows the frame.
TEST_F(ParamKnobTest, DragAroundTheBottomWritesEveryPassAndJumpsAtTheVertical) {
    window.press(76, 57);  // lower left, inside the circle
    window.move(85, 57);
    window.move(85, 57);
    window.move(86, 57);
    window.move(87, 57);
    window.move(100, 57);
    window.release(100, 57);
    settleMessages();
    EXPECT_EQ(writtenValues(), (std::vector<float>{0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f}));
    EXPECT_TRUE(showsFrame(window.capture(), kKnobRect, kKnobBitmap, 49));
}

// The hold goes on outside the circle and the window: only the press must hit.
TEST_F(ParamKnobTest, FollowsThePointerOutsideTheWindow) {
    window.press(86, 30);
    window.move(-200, 42);  // far left: 0.16666667
    window.move(86, -500);  // far above: 0.5
    window.release(86, -500);
    settleMessages();
    EXPECT_EQ(writtenValues(), (std::vector<float>{0.5f, 0.16666667f, 0.5f}));
}

TEST_F(ParamKnobTest, IgnoresPressesOutsideItsCircle) {
    const CapturedImage before = window.capture();
    for (PixelPoint point : {PixelPoint{64, 20}, PixelPoint{108, 64}, PixelPoint{107, 24}, PixelPoint{86, 65}}) {
        window.press(point.x, point.y);
        window.move(86, 25);
        window.release(86, 25);
    }
    settleMessages();
    EXPECT_EQ(client.presses.size(), 4u);
    EXPECT_TRUE(engine.writes.empty());
    EXPECT_TRUE(samePicture(window.capture(), before));
}

// A knob that goes while it is held (its panel was taken down) is no longer
// moved: the rest of the gesture writes nothing.
TEST(ParamKnobGone, WhileHeldIsMovedNoMore) {
    RecordingEngine engine;
    TestClient client;
    ClientWindow window{&client};
    auto knob = std::make_unique<ParamKnob>(&engine, kThreshold, kKnobBitmap, kKnobRect, nullptr);
    knob->setWindow(window.handle());
    client.onPress = [&](int32_t x, int32_t y) {
        if (knob) knob->onMouseDown(x, y);
    };
    window.press(86, 25);
    settleMessages();
    knob.reset();
    window.move(108, 42);
    window.release(108, 42);
    settleMessages();
    EXPECT_EQ(engine.writes, (std::vector<ParameterWrite>{{kThreshold, 0.5f}}));
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
