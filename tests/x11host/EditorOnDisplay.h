// The plug-in twice, driven alike: the built library loaded with dlopen as a
// Linux host loads it, its editor in a host window on the X display and
// pressed with the real pointer; and the same code linked into this program,
// its editor headless in a window of our own and pressed with window
// messages. Whatever the one shows, the other must show pixel for pixel.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EditorSession.h"
#include "HostGuiThread.h"
#include "TestDisplay.h"
#include "gui/PixelGeometry.h"
#include "tools/render/HostedPlugin.h"

// Where the editor's host windows are placed: clear of the screen's centre
// where the about box appears, and far enough from its corner for a drag to
// leave the window to the left and above.
constexpr int32_t kHostX = 40;
constexpr int32_t kHostY = 40;

// One instance of the built library with its editor on the display, opened,
// idled and closed on the host's user-interface thread.
class EditorOnDisplay {
public:
    EditorOnDisplay(TestDisplay& display, HostGuiThread& gui, int32_t x = kHostX, int32_t y = kHostY);
    // Closes the editor and the instance as a host does, then destroys the
    // host window.
    ~EditorOnDisplay();

    // effEditOpen with the host window's id, or with any value a host may
    // pass as one; the plug-in's answer.
    intptr_t open() { return openWith(hostWindow); }
    intptr_t openWith(uintptr_t id);
    void idle();
    void closeEditor();
    // effClose, with the editor open or not.
    void closeInstance();

    // The host's editor opcodes come from another of its threads from now on.
    void callFrom(HostGuiThread& thread) { gui = &thread; }

    HostedPlugin& plugin() { return instance; }
    xcb_window_t window() const { return hostWindow; }
    // The host window went, as a host may destroy it before it closes the editor.
    void forgetWindow() { hostWindow = 0; }

private:
    intptr_t dispatch(int32_t opcode, void* ptr = nullptr);

    TestDisplay& display;
    HostGuiThread* gui;
    HostedPlugin instance;
    xcb_window_t hostWindow = 0;
    bool editorOpen = false;
};

// The host's thread idles these editors while it lives.
class Idling {
public:
    Idling(HostGuiThread& gui, std::vector<EditorOnDisplay*> editors) : gui(gui) {
        gui.setIdle([editors] {
            for (EditorOnDisplay* editor : editors) editor->idle();
        });
    }
    ~Idling() { gui.setIdle(nullptr); }
    Idling(const Idling&) = delete;
    Idling& operator=(const Idling&) = delete;

private:
    HostGuiThread& gui;
};

// The same plug-in linked into this program, its editor headless.
class HeadlessEditor {
public:
    HeadlessEditor();
    ~HeadlessEditor();
    HostedPlugin& plugin() { return instance; }
    EditorSession& session() { return *editor; }

private:
    HostedPlugin instance;
    std::unique_ptr<EditorSession> editor;
};

// A scenario on the display that must leave no top-level window and no grab
// of ours behind, whatever it does to the editors it opens.
class LeavesNothingOnTheDisplay : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The window ends up empty, at once or once the plug-in has served it.
    bool nothingInside(xcb_window_t hostWindow);
    // A press and a release of the left button at a point of the window.
    void click(xcb_window_t window, MousePoint point);

    TestDisplay display;

private:
    std::vector<xcb_window_t> topLevelBefore;
};

// Signals both plug-ins process alike, in the blocks a host sends.
std::vector<float> loudSignal(int32_t frames);
// Both channels of the output, left then right; with a pause after each
// block, as a device's pace spreads them out.
std::vector<float> processSignal(HostedPlugin& plugin, const std::vector<float>& signal, int pauseMilliseconds = 0);

// The window on the screen shows the picture, at once or once the plug-in's
// next idles have pushed it; otherwise the last reading is kept as a PNG.
// Pixels inside ignored, when given, count on neither side.
::testing::AssertionResult showsSoon(TestDisplay& display, xcb_window_t window, const CapturedImage& expected,
                                     const std::string& name, const PixelRect* ignored = nullptr);
// Waits until the condition holds; false after a few seconds.
bool eventually(const std::function<bool()>& condition);

// A picture committed to the source tree, by its path there.
CapturedImage committedPicture(const std::string& path);
