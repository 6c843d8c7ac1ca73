// The editor's life as hosts lead it: several instances open at once, open
// and close again and again, the plug-in closed with its editor still open,
// calls out of order. The window class, the child windows and the about popup
// must follow, and nothing may reach a panel that is gone.
#include <gtest/gtest.h>

#include "EditorSession.h"
#include "EditorTestSupport.h"
#include "MouseMessages.h"
#include "PanelPicture.h"
#include "StripPictures.h"
#include "WindowCapture.h"
#include "editor/AboutBox.h"
#include "editor/CompressorEditor.h"
#include "editor/PanelLayout.h"
#include "engine/CompressorEngine.h"
#include "gui/FilmstripBitmap.h"
#include "gui/GainMeter.h"
#include "gui/WindowSupport.h"

namespace {

// Hosts that close the editor before they destroy its window leave the class
// registered (it cannot go while a window of it exists). These tests start
// from a process without it, as after a host that did it the other way round.
void startWithoutTheClass() {
    ASSERT_EQ(panelClassUsers, 0) << "an editor is still open";
    unregisterWindowClass();
    ASSERT_FALSE(genericClassRegistered());
}

// As hosts do: the rectangle first, to size the window. Returns the rectangle.
ERect* openEditor(const PluginInstance& plugin, const HostWindow& host) {
    ERect* rect = nullptr;
    EXPECT_EQ(plugin.dispatch(effEditGetRect, 0, &rect), 1);
    EXPECT_EQ(plugin.dispatch(effEditOpen, 0, host.handle()), 1);
    settleMessages();
    return rect;
}

// The class is registered by the first open in the process and unregistered
// by the last close; closing the first of two open editors leaves it alone.
// The hosts destroy their windows before they close, so that the class can go.
TEST(EditorLifecycle, TwoOpenInstancesRegisterTheClassOnce) {
    ASSERT_NO_FATAL_FAILURE(startWithoutTheClass());
    PluginInstance first;
    PluginInstance second;
    HostWindow firstHost(kEditorWidth, kEditorHeight);
    HostWindow secondHost(kEditorWidth, kEditorHeight);

    ERect* firstRect = openEditor(first, firstHost);
    EXPECT_EQ(panelClassUsers, 1);
    EXPECT_TRUE(genericClassRegistered());
    EXPECT_EQ(openEditor(second, secondHost), firstRect) << "every editor hands out the one rectangle";
    EXPECT_EQ(panelClassUsers, 2);
    ASSERT_NE(firstHost.editorWindow(), nullptr);
    ASSERT_NE(secondHost.editorWindow(), nullptr);
    EXPECT_NE(firstHost.editorWindow(), secondHost.editorWindow());

    firstHost.destroy();
    secondHost.destroy();
    first.dispatch(effEditClose);
    EXPECT_EQ(panelClassUsers, 1);
    EXPECT_TRUE(genericClassRegistered()) << "the first close unregistered the class";
    second.dispatch(effEditClose);
    EXPECT_EQ(panelClassUsers, 0);
    EXPECT_FALSE(genericClassRegistered()) << "the last close left the class registered";
}

// A close that no open preceded must not keep the next open from registering
// the class and creating its window.
TEST(EditorLifecycle, CloseWithoutOpenDoesNotBreakTheNextOpen) {
    ASSERT_NO_FATAL_FAILURE(startWithoutTheClass());
    PluginInstance plugin;
    plugin.dispatch(effEditClose);
    plugin.dispatch(effEditClose);
    EXPECT_EQ(panelClassUsers, 0);
    {
        EditorSession session(plugin.record());
        EXPECT_EQ(panelClassUsers, 1);
        ASSERT_TRUE(session.isOpen());
        session.repaint();
        EXPECT_TRUE(samePicture(session.capture(), composePanel(PanelFrames::factory())));
    }
    EXPECT_EQ(panelClassUsers, 0);
}

// Opened again in a new host window, the editor has a new window, and every
// control draws into it. The about popup that went with the first host window
// (its owner) no longer holds the hot zone shut.
TEST(EditorLifecycle, ReopenedEditorDrawsIntoItsNewWindow) {
    PluginInstance plugin;
    HWND firstWindow = nullptr;
    {
        EditorSession session(plugin.record());
        firstWindow = session.getEditorWindow();
        session.click(250, 80);
        ASSERT_EQ(aboutPopupCount(), 1);
    }
    EXPECT_FALSE(IsWindow(firstWindow));
    EXPECT_EQ(aboutPopupCount(), 0);
    EXPECT_FALSE(plugin.editor()->getAboutBox()->isPopupOpen());

    EditorSession session(plugin.record());
    HWND secondWindow = session.getEditorWindow();
    ASSERT_NE(secondWindow, nullptr);
    EXPECT_NE(secondWindow, firstWindow);
    EXPECT_EQ(plugin.editor()->getChildWindow(), secondWindow);
    EXPECT_EQ(plugin.editor()->getGainMeter()->getBitmap()->getWindow(), secondWindow);
    session.repaint();
    EXPECT_TRUE(samePicture(session.capture(), composePanel(PanelFrames::factory())));

    session.drag({{86, 27}, {101, 42}});  // the ratio knob, from straight up to the right
    PanelFrames frames;
    frames.knobs[0] = 41;
    EXPECT_TRUE(samePicture(session.capture(), composePanel(frames)));

    session.click(250, 80);
    EXPECT_EQ(aboutPopupCount(), 1);
    postPress(aboutPopup(), 5, 5, MouseButton::Right);
    session.settle();
    EXPECT_EQ(aboutPopupCount(), 0);
}

// After the editor closes, the audio path keeps updating the meter; the
// window it drew into may soon be another's, so it draws nothing there.
TEST(EditorLifecycle, ClosedEditorsMeterLeavesTheOldWindowAlone) {
    PluginInstance plugin;
    HostWindow host(kEditorWidth, kEditorHeight);
    openEditor(plugin, host);
    HWND child = host.editorWindow();
    ASSERT_NE(child, nullptr);
    InvalidateRect(child, nullptr, FALSE);
    settleMessages();
    // Ratio up to 1 and threshold down to 0: a level of 0.53 lights 8 LEDs.
    plugin.engine()->setParameter(kRatio, 1.0f);
    plugin.engine()->setParameter(kThreshold, 0.0f);
    plugin.processConstant(0.53f, 2 * 881);
    EXPECT_TRUE(showsFrame(captureWindow(child), panelLayout::kGainMeter.rect, panelLayout::kGainMeter.bitmapId, 8));

    plugin.dispatch(effEditClose);
    const CapturedImage closed = captureWindow(child);
    plugin.processConstant(0.9f, 4 * 881);
    EXPECT_GT(plugin.engine()->getVu(0), 0.8f);
    EXPECT_TRUE(samePicture(captureWindow(child), closed));
}

// The child window belongs to the host's window and outlives a plug-in closed
// while its editor is open; its next paint or click must find no panel. The
// open about popup goes with the plug-in. (Last here: without effEditClose the
// count of open editors stays up for the rest of the process.)
TEST(EditorLifecycle, ClosingThePluginWithItsEditorOpenLeavesAHarmlessWindow) {
    PluginInstance plugin;
    HostWindow host(kEditorWidth, kEditorHeight);
    openEditor(plugin, host);
    HWND child = host.editorWindow();
    ASSERT_NE(child, nullptr);
    postPress(child, 250, 80);
    postRelease(child, 250, 80);
    settleMessages();
    ASSERT_EQ(aboutPopupCount(), 1);

    plugin.close();
    EXPECT_EQ(aboutPopupCount(), 0);
    ASSERT_TRUE(IsWindow(child));
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), 0);
    InvalidateRect(child, nullptr, TRUE);
    UpdateWindow(child);
    postPress(child, 41, 34);
    postMove(child, 86, 27);
    postRelease(child, 86, 27);
    postPress(child, 250, 80, MouseButton::Right);
    postRelease(child, 250, 80, MouseButton::Right);
    PostMessageA(child, WM_KEYDOWN, VK_SPACE, 0);
    settleMessages();
    EXPECT_EQ(aboutPopupCount(), 0);
}

}  // namespace
