// The filmstrip bitmap: which frame a value selects on each of the panel's
// strips, what a draw copies, when it draws at all, and its hit tests.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GuiTestWindows.h"
#include "StripPictures.h"
#include "gui/FilmstripBitmap.h"

namespace {

// Remembers the strip column of every frame it is asked to draw.
class CountingStrip : public FilmstripBitmap {
public:
    using FilmstripBitmap::FilmstripBitmap;
    bool drawFrame(int32_t sourceX) override {
        drawnColumns.push_back(sourceX);
        return FilmstripBitmap::drawFrame(sourceX);
    }
    std::vector<int32_t> drawnColumns;
};

constexpr int32_t kMeter = 128;
constexpr int32_t kBackground = 129;
constexpr int32_t kPowerButton = 130;
constexpr int32_t kPowerLed = 131;
constexpr int32_t kKnob = 132;
constexpr int32_t kAbout = 133;
constexpr int32_t kCopyButton = 134;
constexpr int32_t kProgramNames = 139;

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInfinity = std::numeric_limits<float>::infinity();

int32_t frameShownFor(int32_t resourceId, int32_t width, int32_t height, float value) {
    CountingStrip strip(resourceId, PixelRect{0, 0, width, height});
    strip.setValue(value);
    return strip.getCurrentFrame();
}

TEST(FilmstripBitmap, CountsWholeFramesOfEachStrip) {
    struct Strip {
        int32_t id, width, height, frames;
    };
    for (const Strip& strip : {Strip{kMeter, 115, 9, 16}, Strip{kBackground, 304, 119, 1},
                               Strip{kPowerButton, 29, 29, 3}, Strip{kPowerLed, 7, 15, 3}, Strip{kKnob, 44, 44, 50},
                               Strip{kAbout, 268, 280, 1}, Strip{kCopyButton, 40, 20, 2},
                               Strip{kProgramNames, 104, 20, 4}}) {
        FilmstripBitmap bitmap(strip.id, PixelRect{0, 0, strip.width, strip.height});
        EXPECT_TRUE(bitmap.isLoaded()) << strip.id;
        EXPECT_EQ(bitmap.getFrameCount(), strip.frames) << strip.id;
        EXPECT_EQ(bitmap.getCurrentFrame(), 0) << strip.id;
    }
}

// The nearest frame, halves going up, in double precision from the float.
TEST(FilmstripBitmap, SelectsTheNearestFrameWithHalvesGoingUp) {
    EXPECT_EQ(frameShownFor(kKnob, 44, 44, 0.0f), 0);
    EXPECT_EQ(frameShownFor(kKnob, 44, 44, 0.5f), 25);
    EXPECT_EQ(frameShownFor(kKnob, 44, 44, 0.49f), 24);
    EXPECT_EQ(frameShownFor(kKnob, 44, 44, 1.0f), 49);

    EXPECT_EQ(frameShownFor(kCopyButton, 40, 20, 0.5f), 1);
    EXPECT_EQ(frameShownFor(kCopyButton, 40, 20, std::nextafter(0.5f, 0.0f)), 0);
    EXPECT_EQ(frameShownFor(kCopyButton, 40, 20, 1.0f), 1);

    // The program positions as the engine forms them: program / (count - 1).
    for (int32_t program = 0; program < 4; ++program) {
        const float position = static_cast<float>(static_cast<double>(program) / 3.0);
        EXPECT_EQ(frameShownFor(kProgramNames, 104, 20, position), program) << position;
    }

    EXPECT_EQ(frameShownFor(kPowerButton, 29, 29, 0.5f), 1);
    EXPECT_EQ(frameShownFor(kPowerLed, 7, 15, 1.0f), 2);
}

// The meter strip has 15 columns beyond its 16 frames; the last frame starts
// at column 1725. Values outside 0..1 (the meter can pass them) and NaN stay
// on the strip instead of copying from beyond it.
TEST(FilmstripBitmap, KeepsEveryValueOnTheStrip) {
    struct Case {
        float value;
        int32_t column;
    };
    for (const Case& c : {Case{0.0f, 0}, Case{1.0f, 1725}, Case{-0.5f, 0}, Case{-kInfinity, 0}, Case{kNaN, 0},
                          Case{1.5f, 1725}, Case{100.0f, 1725}, Case{kInfinity, 1725},
                          Case{std::numeric_limits<float>::max(), 1725}}) {
        CountingStrip meter(kMeter, PixelRect{0, 0, 115, 9});
        meter.setValue(c.value);
        EXPECT_EQ(meter.drawnColumns, std::vector<int32_t>{c.column}) << c.value;
        EXPECT_EQ(meter.getCurrentFrame(), c.column / 115) << c.value;
    }
}

TEST(FilmstripBitmap, RedrawsOnlyWhenTheFrameChanges) {
    TestClient client;
    ClientWindow window(&client);
    CountingStrip knob(kKnob, PixelRect{0, 0, 44, 44});
    knob.setWindow(window.handle());
    knob.setValueIfChanged(0.0f);
    knob.setValueIfChanged(0.01f);  // still frame 0, as after construction
    EXPECT_TRUE(knob.drawnColumns.empty());

    knob.setValueIfChanged(0.5f);
    knob.setValueIfChanged(0.5f);
    knob.setValueIfChanged(0.51f);  // 25.49: frame 25 again
    EXPECT_EQ(knob.drawnColumns, std::vector<int32_t>{25 * 44});

    knob.setValue(0.51f);  // always draws
    EXPECT_EQ(knob.drawnColumns, (std::vector<int32_t>{25 * 44, 25 * 44}));
}

// A bitmap can be selected into one device context at a time. While another
// holds the strip, and while there is no window, a draw shows nothing: the
// frame is still taken, but it is not shown until a later draw gets through.
TEST(FilmstripBitmap, AFrameThatCouldNotBeShownIsDrawnAtTheNextChance) {
    TestClient client;
    ClientWindow window(&client);
    const PixelRect rect{100, 90, 115, 9};
    FilmstripBitmap meter(kMeter, rect);
    meter.setWindow(window.handle());
    meter.setValue(0.5f);
    ASSERT_TRUE(showsFrame(window.capture(), rect, kMeter, 8));

    HDC holder = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(holder, meter.getBitmapHandle());
    ASSERT_NE(previous, nullptr);
    meter.setValueIfChanged(1.0f);
    EXPECT_EQ(meter.getCurrentFrame(), 15);
    SelectObject(holder, previous);
    DeleteDC(holder);
    meter.setValueIfChanged(1.0f);
    EXPECT_TRUE(showsFrame(window.capture(), rect, kMeter, 15));

    meter.setWindow(nullptr);
    meter.setValue(0.0f);
    EXPECT_EQ(meter.getCurrentFrame(), 0);
    meter.setWindow(window.handle());
    EXPECT_TRUE(showsFrame(window.capture(), rect, kMeter, 15));
    meter.setValueIfChanged(0.0f);
    EXPECT_TRUE(showsFrame(window.capture(), rect, kMeter, 0));
}

TEST(FilmstripBitmap, DrawsTheSelectedFrameIntoItsRectangleOnly) {
    TestClient client;
    ClientWindow window(&client);
    CountingStrip knob(kKnob, PixelRect{30, 40, 44, 44});
    knob.setWindow(window.handle());
    const CapturedImage before = window.capture();

    knob.setValue(0.5f);
    CapturedImage expected = before;
    paste(expected, Filmstrip::of(kKnob, 44).frame(25), 30, 40);
    EXPECT_TRUE(samePicture(window.capture(), expected));

    // A frame drawn directly is shown but does not become the current one.
    knob.drawFrame(49 * 44);
    EXPECT_TRUE(showsFrame(window.capture(), PixelRect{30, 40, 44, 44}, kKnob, 49));
    EXPECT_EQ(knob.getCurrentFrame(), 25);

    // The meter's last frame, asked for by a value far above 1.
    CountingStrip meter(kMeter, PixelRect{100, 90, 115, 9});
    meter.setWindow(window.handle());
    meter.setValue(7.0f);
    EXPECT_TRUE(showsFrame(window.capture(), PixelRect{100, 90, 115, 9}, kMeter, 15));
}

TEST(FilmstripBitmap, WithoutItsResourceHoldsNothingAndDrawsNothing) {
    TestClient client;
    ClientWindow window(&client);
    CountingStrip missing(999, PixelRect{0, 0, 40, 20});
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.getFrameCount(), 0);
    missing.setWindow(window.handle());
    const CapturedImage before = window.capture();
    for (float value : {0.0f, 0.3f, 0.5f, 1.0f}) {
        missing.setValue(value);
        EXPECT_EQ(missing.getCurrentFrame(), 0) << value;
    }
    EXPECT_TRUE(samePicture(window.capture(), before));

    // A rectangle without width cuts the strip into no frames at all.
    FilmstripBitmap empty(kKnob, PixelRect{0, 0, 0, 44});
    EXPECT_EQ(empty.getFrameCount(), 0);
}

TEST(FilmstripBitmap, HitTestRectIncludesBothEdges) {
    const FilmstripBitmap copy(kCopyButton, PixelRect{0, 99, 40, 20});
    EXPECT_TRUE(copy.hitTestRect(0, 99));
    EXPECT_TRUE(copy.hitTestRect(40, 119));
    EXPECT_FALSE(copy.hitTestRect(41, 105));
    EXPECT_FALSE(copy.hitTestRect(-1, 105));
    EXPECT_FALSE(copy.hitTestRect(20, 98));
    EXPECT_FALSE(copy.hitTestRect(20, 120));
}

// Offsets from the centre are truncated toward zero, so points left of or
// above the centre come out closer than those right of or below it.
TEST(FilmstripBitmap, HitTestCircleMeasuresTruncatedOffsets) {
    const FilmstripBitmap power(kPowerButton, PixelRect{27, 20, 29, 29});  // radius 14.5
    EXPECT_TRUE(power.hitTestCircle(51, 44));   // (10, 10): 14.14
    EXPECT_FALSE(power.hitTestCircle(52, 44));  // (11, 10): 14.87
    EXPECT_TRUE(power.hitTestCircle(31, 24));   // (-10, -10)
    EXPECT_FALSE(power.hitTestCircle(27, 20));  // a corner of the rectangle

    const FilmstripBitmap knob(kKnob, PixelRect{0, 0, 44, 44});  // radius 22 about (22, 22)
    EXPECT_TRUE(knob.hitTestCircle(44, 22));    // dx 22: on the circle
    EXPECT_FALSE(knob.hitTestCircle(45, 22));   // dx 23
    EXPECT_TRUE(knob.hitTestCircle(-1, 22));    // -22.5 truncates to -22
    EXPECT_FALSE(knob.hitTestCircle(-2, 22));   // -23
    EXPECT_TRUE(knob.hitTestCircle(22, -1));
    EXPECT_FALSE(knob.hitTestCircle(22, 45));
    EXPECT_FALSE(knob.hitTestCircle(32767, -32768));
}

}  // namespace
