// How hosts really treat an editor's window: they hand ids that name no
// window, run without a display, close twice, close the plug-in with the
// editor open, destroy their window first, run two instances, and open and
// close the editor again and again. None of it may crash the host or leave
// a window, a popup or a grab of ours on the display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "EditorOnDisplay.h"

namespace {

constexpr MousePoint kPowerCentre = {41, 34};
constexpr MousePoint kNext = {254, 109};
constexpr MousePoint kAboutHotZone = {250, 80};

class X11Lifecycle : public LeavesNothingOnTheDisplay {
protected:
    // The editor as a new instance shows it: then it takes the pointer.
    ::testing::AssertionResult editorShown(xcb_window_t hostWindow) {
        return showsSoon(display, hostWindow, committedPicture("docs/editor-factory.png"), "factory");
    }

    HostGuiThread gui;
};

TEST_F(X11Lifecycle, WhatNamesNoWindowOpensNothingAndALaterOpenWorks) {
    EditorOnDisplay editor(display, gui);
    HeadlessEditor headless;
    Idling idling(gui, {&editor});
    xcb_window_t destroyed = display.createHostWindow(0, 0, 10, 10);
    display.destroyWindow(destroyed);
    const uintptr_t notWindows[] = {0, display.createPixmap(), destroyed, display.unusedId(), uintptr_t(1) << 40};
    for (uintptr_t id : notWindows) EXPECT_EQ(editor.openWith(id), 0) << "id 0x" << std::hex << id;

    const std::string displayName = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(editor.open(), 0) << "without a display";
    setenv("DISPLAY", displayName.c_str(), 1);
    EXPECT_TRUE(nothingInside(editor.window()));

    const std::vector<float> signal = loudSignal(22050);
    EXPECT_EQ(processSignal(editor.plugin(), signal), processSignal(headless.plugin(), signal));
    EXPECT_EQ(editor.open(), 1);
    EXPECT_TRUE(showsSoon(display, editor.window(), headless.session().capture(), "opened-after-refusals"));
}

TEST_F(X11Lifecycle, ClosingTwiceLeavesNothing) {
    EditorOnDisplay editor(display, gui);
    Idling idling(gui, {&editor});
    ASSERT_EQ(editor.open(), 1);
    EXPECT_TRUE(editorShown(editor.window()));
    editor.closeEditor();
    editor.closeEditor();
    EXPECT_TRUE(nothingInside(editor.window()));
}

// A host may open the editor again into the same window without closing it.
TEST_F(X11Lifecycle, OpeningAgainIntoTheSameWindowShowsTheEditorOnce) {
    EditorOnDisplay editor(display, gui);
    HeadlessEditor headless;
    Idling idling(gui, {&editor});
    ASSERT_EQ(editor.open(), 1);
    ASSERT_EQ(editor.open(), 1);
    EXPECT_TRUE(showsSoon(display, editor.window(), headless.session().capture(), "opened-twice"));
    EXPECT_EQ(display.children(editor.window()).size(), 1u);
    editor.closeEditor();
    EXPECT_TRUE(nothingInside(editor.window()));
}

TEST_F(X11Lifecycle, ClosingThePlugInWithTheEditorAndAboutBoxOpenLeavesNothing) {
    EditorOnDisplay editor(display, gui);
    Idling idling(gui, {&editor});
    ASSERT_EQ(editor.open(), 1);
    ASSERT_TRUE(editorShown(editor.window()));
    click(editor.window(), kAboutHotZone);
    ASSERT_TRUE(eventually([&] { return display.transientFor(editor.window()) != 0; }));
    editor.closeInstance();
    EXPECT_TRUE(nothingInside(editor.window()));
    EXPECT_TRUE(eventually([&] { return display.transientFor(editor.window()) == 0; }));
}

// Ardour and others may destroy their window before they close the editor.
TEST_F(X11Lifecycle, TheHostDestroyingItsWindowFirstIsSurvived) {
    EditorOnDisplay editor(display, gui);
    HeadlessEditor headless;
    Idling idling(gui, {&editor});
    ASSERT_EQ(editor.open(), 1);
    ASSERT_TRUE(editorShown(editor.window()));
    click(editor.window(), kAboutHotZone);
    ASSERT_TRUE(eventually([&] { return display.transientFor(editor.window()) != 0; }));
    const xcb_window_t first = editor.window();
    display.destroyWindow(first);
    editor.forgetWindow();
    // The about box was ours, kept above the host's window: it goes too.
    EXPECT_TRUE(eventually([&] { return display.transientFor(first) == 0; }));
    editor.closeEditor();

    const xcb_window_t second = display.createHostWindow(kHostX, kHostY, 304, 119);
    EXPECT_EQ(editor.openWith(second), 1);
    EXPECT_TRUE(showsSoon(display, second, headless.session().capture(), "reopened"));
    editor.closeEditor();
    EXPECT_TRUE(nothingInside(second));
    display.destroyWindow(second);
}

TEST_F(X11Lifecycle, TwoInstancesWorkIndependently) {
    EditorOnDisplay first(display, gui, kHostX, kHostY);
    EditorOnDisplay second(display, gui, kHostX, kHostY + 160);
    HeadlessEditor headlessFirst, headlessSecond;
    Idling idling(gui, {&first, &second});
    ASSERT_EQ(first.open(), 1);
    ASSERT_EQ(second.open(), 1);
    ASSERT_TRUE(editorShown(first.window()));
    ASSERT_TRUE(editorShown(second.window()));

    click(first.window(), kPowerCentre);
    headlessFirst.session().click(kPowerCentre.x, kPowerCentre.y);
    EXPECT_TRUE(showsSoon(display, first.window(), headlessFirst.session().capture(), "first-bypassed"));
    EXPECT_TRUE(showsSoon(display, second.window(), headlessSecond.session().capture(), "second-untouched"));

    first.closeEditor();
    EXPECT_TRUE(nothingInside(first.window()));
    click(second.window(), kNext);
    headlessSecond.session().click(kNext.x, kNext.y);
    EXPECT_TRUE(showsSoon(display, second.window(), headlessSecond.session().capture(), "second-program-1"));

    const std::vector<float> signal = loudSignal(22050);
    EXPECT_EQ(processSignal(first.plugin(), signal), processSignal(headlessFirst.plugin(), signal));
    EXPECT_EQ(processSignal(second.plugin(), signal), processSignal(headlessSecond.plugin(), signal));
}

TEST_F(X11Lifecycle, OpensAndCloses200Times) {
    EditorOnDisplay editor(display, gui);
    HeadlessEditor headless;
    for (int round = 0; round < 200; ++round) {
        ASSERT_EQ(editor.open(), 1) << "round " << round;
        gui.run([&] { editor.idle(); });
        editor.closeEditor();
    }
    EXPECT_TRUE(nothingInside(editor.window()));
    Idling idling(gui, {&editor});
    ASSERT_EQ(editor.open(), 1);
    EXPECT_TRUE(showsSoon(display, editor.window(), headless.session().capture(), "after-200-rounds"));
}

}  // namespace
