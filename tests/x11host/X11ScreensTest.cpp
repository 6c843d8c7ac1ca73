// Where a host's window may be: inside the host's own top-level window, which
// a window manager may have framed, or on a screen other than the display's
// default one. The editor shows there, and the about box opens on the same
// screen, centred on it and kept above the host's top-level window (window
// managers ignore a transient-for that names anything else).
#include <gtest/gtest.h>

#include "EditorOnDisplay.h"
#include "editor/PanelLayout.h"

namespace {

constexpr MousePoint kAboutHotZone = {250, 80};
constexpr int32_t kFrameBorder = 4;
constexpr int32_t kTitleHeight = 20;
// Where the instance's own host window stays, unused, clear of the others.
constexpr int32_t kUnusedHostX = 600;

class X11Screens : public LeavesNothingOnTheDisplay {
protected:
    // Opens the editor in hostWindow, shows it, opens the about box and
    // checks it is kept above aboveWindow, centred on the same screen; then
    // closes the editor, which takes the about box along.
    void showEditorAndAboutBox(xcb_window_t hostWindow, xcb_window_t aboveWindow, const std::string& name);

    HostGuiThread gui;
};

void X11Screens::showEditorAndAboutBox(xcb_window_t hostWindow, xcb_window_t aboveWindow, const std::string& name) {
    EditorOnDisplay editor(display, gui, kUnusedHostX, kHostY);
    HeadlessEditor headless;
    Idling idling(gui, {&editor});
    ASSERT_EQ(editor.openWith(hostWindow), 1);
    ASSERT_TRUE(showsSoon(display, hostWindow, headless.session().capture(), name));
    click(hostWindow, kAboutHotZone);
    xcb_window_t about = 0;
    ASSERT_TRUE(eventually([&] { return (about = display.transientFor(aboveWindow)) != 0; }))
        << "no about box kept above the host's top-level window";
    const WindowPlace screen = display.screenOf(hostWindow);
    EXPECT_EQ(display.screenOf(about).width, screen.width);
    const WindowPlace place = display.placeOf(about);
    const PixelRect& picture = panelLayout::kAboutPictureRect;
    EXPECT_EQ(place.x, screen.width / 2 - picture.width / 2);
    EXPECT_EQ(place.y, screen.height / 2 - picture.height / 2);
    editor.closeEditor();
    EXPECT_TRUE(eventually([&] { return display.transientFor(aboveWindow) == 0; }));
}

TEST_F(X11Screens, AboutBoxIsKeptAboveTheHostsTopLevelWindowThatEmbedsTheEditor) {
    const int32_t width = panelLayout::kPanelRect.width;
    const int32_t height = panelLayout::kPanelRect.height;
    const xcb_window_t topLevel =
        display.createHostWindow(kHostX, kHostY, width + 2 * kFrameBorder, height + kTitleHeight + kFrameBorder);
    const xcb_window_t embedding = display.createWindowIn(topLevel, kFrameBorder, kTitleHeight, width, height);
    showEditorAndAboutBox(embedding, topLevel, "embedded");
    display.destroyWindow(topLevel);
}

TEST_F(X11Screens, AboutBoxIsKeptAboveTheTopLevelWindowThatAWindowManagerFramed) {
    const int32_t width = panelLayout::kPanelRect.width;
    const int32_t height = panelLayout::kPanelRect.height;
    const xcb_window_t frame = display.createHostWindow(kHostX, kHostY, width + 4 * kFrameBorder,
                                                        height + 2 * kTitleHeight + 2 * kFrameBorder);
    const xcb_window_t topLevel = display.createWindowIn(frame, kFrameBorder, kTitleHeight, width + 2 * kFrameBorder,
                                                         height + kTitleHeight + kFrameBorder);
    display.markManaged(topLevel);
    const xcb_window_t embedding = display.createWindowIn(topLevel, kFrameBorder, kTitleHeight, width, height);
    showEditorAndAboutBox(embedding, topLevel, "framed");
    display.destroyWindow(frame);
}

TEST_F(X11Screens, EditorOnTheSecondScreenShowsThereWithItsAboutBox) {
    ASSERT_GE(display.screenCount(), 2) << "this test needs a display with two screens";
    const xcb_window_t hostWindow = display.createWindowIn(display.rootOf(1), kHostX, kHostY,
                                                           panelLayout::kPanelRect.width,
                                                           panelLayout::kPanelRect.height);
    showEditorAndAboutBox(hostWindow, hostWindow, "second-screen");
    display.destroyWindow(hostWindow);
}

}  // namespace
