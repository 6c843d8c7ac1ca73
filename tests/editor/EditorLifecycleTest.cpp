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

// Each test that counts registrations starts from a process without the
// class, whatever the tests before it left.
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
// These hosts destroy their windows before they close the editors.
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
// the class and creating its window, nor take the class from an open editor.
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
        PluginInstance other;
        other.dispatch(effEditClose);
        EXPECT_EQ(panelClassUsers, 1) << "a stray close took the open editor's count";
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

// The host's window holds nothing of ours once the editor has closed: no
// child window, no about popup. The audio path keeps updating the meter,
// which draws nowhere now, and the editor opens again into the same window.
TEST(EditorLifecycle, ClosingTheEditorTakesItsWindowsOutOfTheHostsWindow) {
    PluginInstance plugin;
    HostWindow host(kEditorWidth, kEditorHeight);
    openEditor(plugin, host);
    const HWND child = host.editorWindow();
    ASSERT_NE(child, nullptr);
    postPress(child, 250, 80);
    postRelease(child, 250, 80);
    settleMessages();
    ASSERT_EQ(aboutPopupCount(), 1);
    plugin.engine()->setParameter(kRatio, 1.0f);
    plugin.engine()->setParameter(kThreshold, 0.0f);
    plugin.processConstant(0.53f, 2 * 881);

    plugin.dispatch(effEditClose);
    settleMessages();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetWindow(host.handle(), GW_CHILD), nullptr);
    EXPECT_EQ(aboutPopupCount(), 0);
    EXPECT_EQ(plugin.editor()->getGainMeter()->getBitmap()->getWindow(), nullptr);
    plugin.processConstant(0.9f, 4 * 881);
    EXPECT_GT(plugin.engine()->getVu(0), 0.8f);

    openEditor(plugin, host);
    ASSERT_NE(host.editorWindow(), nullptr);
    EXPECT_EQ(plugin.editor()->getChildWindow(), host.editorWindow());
    plugin.dispatch(effEditClose);
}

// A host that keeps its window and opens editors into it again and again (an
// effects chain that switches between plug-ins) collects nothing; the class
// goes at the last close, and a click on the first editor's old handle, after
// the plug-in has gone too, reaches nothing.
TEST(EditorLifecycle, ReopeningIntoOneWindowTwoHundredTimesLeavesNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(startWithoutTheClass());
    PluginInstance plugin;
    HostWindow host(kEditorWidth, kEditorHeight);
    HWND first = nullptr;
    for (int cycle = 0; cycle < 200; ++cycle) {
        openEditor(plugin, host);
        if (!first) first = host.editorWindow();
        ASSERT_NE(host.editorWindow(), nullptr) << cycle;
        plugin.dispatch(effEditClose);
        ASSERT_EQ(GetWindow(host.handle(), GW_CHILD), nullptr) << cycle;
    }
    EXPECT_EQ(panelClassUsers, 0);
    EXPECT_FALSE(genericClassRegistered());

    plugin.close();
    EXPECT_FALSE(IsWindow(first));
    postPress(first, 86, 42);
    postRelease(first, 86, 42);
    InvalidateRect(host.handle(), nullptr, TRUE);
    settleMessages();
    EXPECT_EQ(GetWindow(host.handle(), GW_CHILD), nullptr);
}

// Closed with its editor open, the plug-in first closes the editor: its
// window and the open about popup go, and the window classes with them.
TEST(EditorLifecycle, ClosingThePluginWithItsEditorOpenClosesTheEditorFirst) {
    ASSERT_NO_FATAL_FAILURE(startWithoutTheClass());
    PluginInstance plugin;
    HostWindow host(kEditorWidth, kEditorHeight);
    openEditor(plugin, host);
    const HWND child = host.editorWindow();
    ASSERT_NE(child, nullptr);
    postPress(child, 250, 80);
    postRelease(child, 250, 80);
    settleMessages();
    ASSERT_EQ(aboutPopupCount(), 1);

    plugin.close();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetWindow(host.handle(), GW_CHILD), nullptr);
    EXPECT_EQ(aboutPopupCount(), 0);
    EXPECT_EQ(panelClassUsers, 0);
    EXPECT_FALSE(genericClassRegistered());
}

// A host may close the editor, or the whole plug-in, while a button is still
// held: the hold ends as a release would, the power switch clicks, and a
// program button's command still finds its engine. What the rest of the
// gesture brings reaches nothing, and the next editor holds as before.
TEST(EditorLifecycle, ClosingInTheMiddleOfAHoldEndsItAsAReleaseWould) {
    PluginInstance plugin;
    HostWindow host(kEditorWidth, kEditorHeight);
    openEditor(plugin, host);
    HWND child = host.editorWindow();
    ASSERT_NE(child, nullptr);
    postPress(child, 41, 34);  // the power switch
    settleMessages();
    EXPECT_EQ(plugin.engine()->getParameter(kPower), 0.0f) << "nothing happens before the release";
    plugin.dispatch(effEditClose);
    EXPECT_EQ(plugin.engine()->getParameter(kPower), 0.5f);
    EXPECT_EQ(GetCapture(), nullptr);
    postRelease(child, 41, 34);
    settleMessages();
    EXPECT_EQ(plugin.engine()->getParameter(kPower), 0.5f);

    openEditor(plugin, host);
    child = host.editorWindow();
    postPress(child, 254, 109);  // next program
    settleMessages();
    plugin.close();
    postMove(child, 86, 27);
    postMove(host.handle(), 86, 27);
    postRelease(host.handle(), 86, 27);
    settleMessages();
    EXPECT_EQ(GetCapture(), nullptr);

    PluginInstance next;
    EditorSession session(next.record());
    session.drag({{86, 27}, {101, 42}});
    EXPECT_EQ(next.engine()->getParameter(kRatio), 0.8333333f);
    session.click(41, 34);
    EXPECT_EQ(next.engine()->getParameter(kPower), 0.5f);
}

}  // namespace
