// The built library in a Linux host's window: opened with the window's X11
// id, idled from the host's user-interface thread, and driven with the real
// pointer (XTest). After each step the screen must show what the headless
// editor shows after the same presses as window messages, and the engine
// behind the record must make the same audio.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "EditorOnDisplay.h"
#include "StripPictures.h"
#include "WindowCapture.h"
#include "editor/AboutBox.h"
#include "editor/PanelLayout.h"

namespace {

constexpr MousePoint kPowerCentre = {41, 34};
constexpr MousePoint kNext = {254, 109};
constexpr MousePoint kAboutHotZone = {250, 80};
constexpr int kLeftButton = 1;
// About the time a device takes to play a block of 512 frames.
constexpr int kDevicePaceMilliseconds = 10;

class X11Editor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.isConnected()) << "these tests need an X display (run them in xvfb-run)";
        editor.reset(new EditorOnDisplay(display, gui));
        ASSERT_EQ(editor->open(), 1);
        gui.setIdle([this] { editor->idle(); });
        // Shown, and so ready for the pointer.
        ASSERT_TRUE(showsAsHeadless("factory"));
    }

    void TearDown() override {
        gui.setIdle(nullptr);
        editor.reset();
        EXPECT_TRUE(eventually([&] { return display.pointerIsFree(); })) << "a grab of ours is left on the display";
    }

    // The real pointer pressed at the first point, moved through the others
    // and released at the last; the headless editor gets the same as messages.
    void drag(const std::vector<MousePoint>& path) {
        display.movePointer(editor->window(), path.front().x, path.front().y);
        display.pressButton(kLeftButton);
        for (const MousePoint& point : path) display.movePointer(editor->window(), point.x, point.y);
        display.releaseButton(kLeftButton);
        headless.session().drag(path);
    }

    void click(MousePoint point) { drag({point}); }

    ::testing::AssertionResult showsAsHeadless(const std::string& name) {
        return showsSoon(display, editor->window(), headless.session().capture(), name);
    }

    ::testing::AssertionResult makesTheSameAudio(int32_t frames) {
        const std::vector<float> signal = loudSignal(frames);
        if (processSignal(editor->plugin(), signal) == processSignal(headless.plugin(), signal))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the two engines hold different values";
    }

    TestDisplay display;
    HostGuiThread gui;
    std::unique_ptr<EditorOnDisplay> editor;
    HeadlessEditor headless;
};

TEST_F(X11Editor, FollowsTheRealPointerAsTheHeadlessEditorFollowsMessages) {
    drag({{86, 27}, {100, 40}, {112, 55}, {118, 62}});
    EXPECT_TRUE(showsAsHeadless("ratio-turned"));
    // The capture keeps the pointer reported outside the window, in
    // negative coordinates, as the knob's angle needs them.
    drag({{130, 27}, {60, 10}, {-25, -12}});
    EXPECT_TRUE(showsAsHeadless("threshold-turned-outside"));
    EXPECT_TRUE(makesTheSameAudio(44100));

    click(kNext);
    click(kNext);
    EXPECT_TRUE(showsAsHeadless("program-2"));
    EXPECT_TRUE(makesTheSameAudio(44100));
}

// A person sees the switch go down while the button is still held, and the
// host's thread goes on with its own work meanwhile: the idle that saw the
// press has returned.
TEST_F(X11Editor, ShowsTheSwitchDownWhileTheButtonIsHeld) {
    display.movePointer(editor->window(), kPowerCentre.x, kPowerCentre.y);
    display.pressButton(kLeftButton);
    EXPECT_TRUE(showsSoon(display, editor->window(), committedPicture("tests/editor/reference/power-held.png"), "power-held"));
    std::atomic<bool> hostRan{false};
    std::thread asking([&] { gui.run([&] { hostRan = true; }); });
    EXPECT_TRUE(eventually([&] { return hostRan.load(); })) << "the hold keeps the host's thread";
    display.releaseButton(kLeftButton);
    asking.join();
    headless.session().click(kPowerCentre.x, kPowerCentre.y);
    EXPECT_TRUE(showsAsHeadless("power-bypassed"));
    EXPECT_TRUE(makesTheSameAudio(44100));
}

TEST_F(X11Editor, AboutBoxIsATopLevelWindowCentredOnTheScreen) {
    click(kAboutHotZone);
    xcb_window_t about = 0;
    ASSERT_TRUE(eventually([&] { return (about = display.transientFor(editor->window())) != 0; }));
    const WindowPlace place = display.placeOf(about);
    const PixelRect& picture = panelLayout::kAboutPictureRect;
    EXPECT_EQ(place.x, display.screenWidth() / 2 - picture.width / 2);
    EXPECT_EQ(place.y, display.screenHeight() / 2 - picture.height / 2);
    EXPECT_EQ(place.width, picture.width);
    EXPECT_EQ(place.height, picture.height);
    HWND headlessAbout = FindWindowExA(nullptr, nullptr, kAboutBoxWindowClass, nullptr);
    ASSERT_NE(headlessAbout, nullptr);
    EXPECT_TRUE(showsSoon(display, about, captureWindow(headlessAbout), "about"));
    // The press that opened it holds the pointer until its release is seen.
    EXPECT_TRUE(eventually([&] { return display.pointerIsFree(); })) << "the pointer stays grabbed";

    display.movePointer(about, 100, 100);
    display.pressButton(kLeftButton);
    display.releaseButton(kLeftButton);
    EXPECT_TRUE(eventually([&] { return display.transientFor(editor->window()) == 0; })) << "the about box stays";
    click(kAboutHotZone);
    EXPECT_TRUE(eventually([&] { return display.transientFor(editor->window()) != 0; })) << "no second about box";
}

// The audio thread draws the meter into our surface only; the host's idles
// put it on the screen.
TEST_F(X11Editor, MeterLightsFromTheAudioThreadWhileTheHostIdles) {
    const CapturedImage dark = cutOut(headless.session().capture(), panelLayout::kGainMeter.rect);
    const std::vector<float> signal = loudSignal(44100);
    std::vector<float> output;
    std::thread audio([&] { output = processSignal(editor->plugin(), signal, kDevicePaceMilliseconds); });
    const bool lit = eventually([&] {
        return cutOut(display.read(editor->window()), panelLayout::kGainMeter.rect).pixels != dark.pixels;
    });
    audio.join();
    EXPECT_TRUE(lit) << "the meter stayed dark on the screen";
    EXPECT_EQ(output, processSignal(headless.plugin(), signal));
    EXPECT_TRUE(showsAsHeadless("meter-after-audio"));
}

}  // namespace
