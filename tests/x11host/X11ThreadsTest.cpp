// Hosts that give every plug-in window a user-interface thread of its own:
// each editor is opened, idled, dragged with the real pointer and closed on
// its own thread while its audio runs, round after round; and hosts that
// open an editor on one thread and idle or close it on another. Meant for
// the address and thread sanitizers as much as for the pictures.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "EditorOnDisplay.h"
#include "StripPictures.h"
#include "editor/PanelLayout.h"

namespace {

constexpr int kLeftButton = 1;
constexpr int32_t kEditorSpacing = 140;
constexpr MousePoint kPowerCentre = {41, 34};
constexpr MousePoint kAboutHotZone = {250, 80};

// The five knobs' centres, in parameter order.
constexpr MousePoint kKnobCentres[] = {{86, 42}, {130, 42}, {174, 42}, {218, 42}, {262, 42}};

// One instance with a host thread of its own and its audio running, and
// the same plug-in headless beside it, pressed alike, to say what it must
// show. The meter follows each instance's own audio, so it is left out of
// every comparison.
class EditorOnItsThread {
public:
    EditorOnItsThread(TestDisplay& display, int32_t y) : display(display), editor(display, gui, kHostX, y) {
        gui.setIdle([this] { editor.idle(); });
        audio = std::thread([this] {
            const std::vector<float> signal = loudSignal(4096);
            while (running.load()) processSignal(editor.plugin(), signal, 2);
        });
    }

    ~EditorOnItsThread() {
        running = false;
        audio.join();
        gui.setIdle(nullptr);
    }

    void drag(const std::vector<MousePoint>& path) {
        display.movePointer(editor.window(), path.front().x, path.front().y);
        display.pressButton(kLeftButton);
        for (const MousePoint& point : path) display.movePointer(editor.window(), point.x, point.y);
        display.releaseButton(kLeftButton);
        headless.session().drag(path);
    }

    ::testing::AssertionResult showsAsHeadless(const std::string& name) {
        return showsSoon(display, editor.window(), headless.session().capture(), name, &panelLayout::kGainMeter.rect);
    }

    TestDisplay& display;
    HostGuiThread gui;
    EditorOnDisplay editor;
    HeadlessEditor headless;

private:
    std::atomic<bool> running{true};
    std::thread audio;
};

class X11Threads : public LeavesNothingOnTheDisplay {
protected:
    // Every editor's thread takes the step at the same time.
    static void atOnce(std::vector<std::unique_ptr<EditorOnItsThread>>& editors,
                       const std::function<void(EditorOnItsThread&)>& step) {
        std::vector<std::thread> callers;
        for (auto& editor : editors) callers.emplace_back([&step, &editor] { step(*editor); });
        for (std::thread& caller : callers) caller.join();
    }

    // Each round opens every editor on its own thread at once, turns a knob
    // of one of them with the real pointer, and closes them all at once.
    void runRounds(int editorCount, int rounds) {
        std::vector<std::unique_ptr<EditorOnItsThread>> editors;
        for (int i = 0; i < editorCount; ++i) {
            editors.emplace_back(new EditorOnItsThread(display, kHostY + i * kEditorSpacing));
        }
        for (int round = 0; round < rounds; ++round) {
            std::atomic<int> refused{0};
            atOnce(editors, [&refused](EditorOnItsThread& each) { refused += each.editor.open() != 1; });
            ASSERT_EQ(refused.load(), 0) << "round " << round;
            for (auto& each : editors) ASSERT_TRUE(each->showsAsHeadless("opened")) << "round " << round;

            EditorOnItsThread& dragged = *editors[size_t(round % editorCount)];
            const MousePoint centre = kKnobCentres[round % 5];
            dragged.drag({centre, {centre.x - 20 + (round * 7) % 40, centre.y - 18}});
            ASSERT_TRUE(dragged.showsAsHeadless("dragged")) << "round " << round;

            atOnce(editors, [](EditorOnItsThread& each) { each.editor.closeEditor(); });
            for (auto& each : editors) ASSERT_TRUE(nothingInside(each->editor.window())) << "round " << round;
        }
    }

};

TEST_F(X11Threads, TwoEditorsEachOnItsOwnThread) { runRounds(2, 200); }

TEST_F(X11Threads, FourEditorsEachOnItsOwnThread) { runRounds(4, 100); }

// A host may open the editor on one thread and close it on another, having
// stopped serving the first: the editor and its about box leave the host's
// window at once, and the editor opens again on the closing thread. When the
// first thread idles another plug-in, and so looks at its queue again,
// nothing comes back.
TEST_F(X11Threads, EditorClosedOnAnotherThreadLeavesTheHostsWindowAtOnce) {
    HostGuiThread opener, closer;
    EditorOnDisplay editor(display, opener);
    EditorOnDisplay neighbour(display, opener, kHostX, kHostY + kEditorSpacing);
    HeadlessEditor headless;
    {
        Idling idling(opener, {&editor});
        ASSERT_EQ(editor.open(), 1);
        ASSERT_TRUE(showsSoon(display, editor.window(), headless.session().capture(), "opened-on-one-thread"));
        click(editor.window(), kAboutHotZone);
        ASSERT_TRUE(eventually([&] { return display.transientFor(editor.window()) != 0; }));
    }
    editor.callFrom(closer);
    editor.closeEditor();
    EXPECT_TRUE(nothingInside(editor.window())) << "the editor stays in the host's window";
    EXPECT_TRUE(eventually([&] { return display.transientFor(editor.window()) == 0; })) << "the about box stays";

    Idling idling(closer, {&editor});
    ASSERT_EQ(editor.open(), 1);
    EXPECT_TRUE(showsSoon(display, editor.window(), headless.session().capture(), "opened-on-the-other-thread"));
    EXPECT_EQ(display.children(editor.window()).size(), 1u);
    opener.run([&] { neighbour.idle(); });
    editor.closeEditor();
    EXPECT_TRUE(nothingInside(editor.window()));
}

// A host may open the editor on one thread and idle it only on another: the
// editor shows and follows the pointer all the same, also once the opening
// thread has ended, and leaves nothing behind when the idling thread closes
// it.
TEST_F(X11Threads, EditorIdledOnAnotherThreadShowsAndFollowsThePointer) {
    HostGuiThread idler;
    std::unique_ptr<HostGuiThread> opener(new HostGuiThread);
    EditorOnDisplay editor(display, *opener);
    HeadlessEditor headless;
    ASSERT_EQ(editor.open(), 1);
    editor.callFrom(idler);
    // Until this thread first idles it, the editor is still the opening
    // thread's, which no longer listens to the pointer.
    idler.run([&] { editor.idle(); });
    Idling idling(idler, {&editor});
    EXPECT_TRUE(showsSoon(display, editor.window(), headless.session().capture(), "idled-on-another-thread"));
    click(editor.window(), kPowerCentre);
    headless.session().click(kPowerCentre.x, kPowerCentre.y);
    EXPECT_TRUE(showsSoon(display, editor.window(), headless.session().capture(), "bypassed-on-another-thread"));

    opener.reset();
    click(editor.window(), kPowerCentre);
    headless.session().click(kPowerCentre.x, kPowerCentre.y);
    EXPECT_TRUE(showsSoon(display, editor.window(), headless.session().capture(), "on-after-the-opener-ended"));
    EXPECT_EQ(display.children(editor.window()).size(), 1u);
    editor.closeEditor();
    EXPECT_TRUE(nothingInside(editor.window()));
}

}  // namespace
