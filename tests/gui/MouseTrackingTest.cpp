// Holding a button: the window procedure keeps the pointer and the held
// button in the thread's mouse state; a press that a control takes begins a
// hold and returns, and every mouse message after it carries the hold one
// pass further until the release ends it. Most gestures are queued whole
// before their press is handled, as when the user is quicker than the
// plug-in.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <thread>

#include "GuiTestWindows.h"
#include "HoldProbe.h"
#include "gui/MouseTracking.h"

namespace {

struct Pass {
    int32_t x;
    int32_t y;
    int32_t button;
    bool captured;  // the mouse is captured by the window that took the press
    int hold;       // which hold moved: the number of the press that began it
};

bool operator==(const Pass& a, const Pass& b) {
    return a.x == b.x && a.y == b.y && a.button == b.button && a.captured == b.captured && a.hold == b.hold;
}

std::ostream& operator<<(std::ostream& out, const Pass& pass) {
    return out << "{" << pass.x << ", " << pass.y << ", button " << pass.button << (pass.captured ? ", captured" : "")
               << ", hold " << pass.hold << "}";
}

class HoldingClient;

// One hold, as a knob's: it notes what each pass finds and when it ends.
class RecordingHold : public HoldTarget {
public:
    RecordingHold(HoldingClient& client, int number) : client(client), number(number) {}
    void holdPass() override;
    void holdEnded() override;

private:
    HoldingClient& client;
    int number;
};

// A client whose presses begin holds (unless told which buttons not to
// hold), noting what each pass finds.
class HoldingClient : public TestClient {
public:
    HoldingClient() {
        onPress = [this](int32_t, int32_t) {
            if (currentMouseState().capturedButton == ignoredButton) return;
            holds.emplace_back(*this, int(presses.size()));
            beginHold(&holds.back());
        };
    }

    Pass current(int hold) const {
        const PixelPoint pointer = getMousePosition();
        return Pass{pointer.x, pointer.y, currentMouseState().capturedButton, window && GetCapture() == window, hold};
    }

    std::function<void()> onPass;
    HWND window = nullptr;
    int32_t ignoredButton = kNoButton;
    std::deque<RecordingHold> holds;
    std::vector<Pass> passes;
    std::vector<int> ends;
};

void RecordingHold::holdPass() {
    client.passes.push_back(client.current(number));
    if (client.onPass) client.onPass();
}

void RecordingHold::holdEnded() { client.ends.push_back(number); }

class MouseTracking : public ::testing::Test {
protected:
    HoldingClient client;
    ClientWindow window{&client};

    void SetUp() override { client.window = window.handle(); }
};

// The host's thread is never kept: the press is handled and returns with the
// hold begun, and each message that comes later moves it, outside the
// window too, until the release.
TEST_F(MouseTracking, PressReturnsAtOnceAndEachLaterMessageCarriesTheHoldOn) {
    window.press(100, 50);
    settleMessages();
    ASSERT_EQ(client.presses.size(), 1u);
    EXPECT_EQ(client.passes, (std::vector<Pass>{{100, 50, kLeftButton, true, 1}})) << "the first pass is the press's";
    EXPECT_TRUE(client.ends.empty());
    EXPECT_EQ(currentMouseState().capturedButton, kLeftButton);
    EXPECT_EQ(GetCapture(), window.handle());

    window.move(120, 55);
    window.move(-7, 40);   // left of the window
    window.move(30, -12);  // above it
    window.move(-300, -2000);
    settleMessages();
    EXPECT_EQ(client.passes.size(), 5u);
    EXPECT_EQ(client.passes.back(), (Pass{-300, -2000, kLeftButton, true, 1}));
    EXPECT_TRUE(client.ends.empty());

    window.release(-300, -2000);
    window.move(10, 10);
    settleMessages();
    EXPECT_EQ(client.passes, (std::vector<Pass>{{100, 50, kLeftButton, true, 1},
                                                {120, 55, kLeftButton, true, 1},
                                                {-7, 40, kLeftButton, true, 1},
                                                {30, -12, kLeftButton, true, 1},
                                                {-300, -2000, kLeftButton, true, 1}}));
    EXPECT_EQ(client.ends, std::vector<int>{1});
    EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MouseTracking, OnlyTheReleaseOfTheHeldButtonEndsTheHold) {
    window.press(10, 10);
    window.release(11, 11, MouseButton::Right);
    window.move(12, 12);
    window.release(13, 13);
    window.release(14, 14);  // a second release finds nothing held
    settleMessages();

    EXPECT_EQ(client.passes, (std::vector<Pass>{{10, 10, kLeftButton, true, 1},
                                                {10, 10, kLeftButton, true, 1},
                                                {12, 12, kLeftButton, true, 1}}));
    EXPECT_EQ(client.ends, std::vector<int>{1});
    EXPECT_EQ(client.presses.size(), 1u);
    EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
}

// The right press inside a left hold begins a second hold, which moves from
// then on; its release ends both, the later first, and the left release
// that follows finds nothing held.
TEST_F(MouseTracking, ThePressOfTheOtherButtonHoldsWithinTheHoldAndItsReleaseEndsBoth) {
    window.press(5, 6);
    window.move(7, 8);
    window.press(50, 60, MouseButton::Right);
    window.move(51, 61, MouseButton::Right);
    window.release(52, 62, MouseButton::Right);
    window.move(53, 63);
    window.release(54, 64);
    settleMessages();

    ASSERT_EQ(client.presses.size(), 2u);
    EXPECT_EQ(client.passes, (std::vector<Pass>{{5, 6, kLeftButton, true, 1},
                                                {7, 8, kLeftButton, true, 1},
                                                {50, 60, kRightButton, true, 2},
                                                {51, 61, kRightButton, true, 2}}));
    EXPECT_EQ(client.ends, (std::vector<int>{2, 1}));
    EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
}

// A right press that no control takes is still a press: the left hold goes
// on with the right button's code, a left release is no longer its end, and
// the right release ends it.
TEST_F(MouseTracking, AnOtherPressThatBeginsNoHoldKeepsTheHoldMovingUntilItsOwnRelease) {
    client.ignoredButton = kRightButton;
    window.press(5, 6);
    window.press(50, 60, MouseButton::Right);
    window.move(51, 61, MouseButton::Right);
    window.release(52, 62);
    window.move(53, 63, MouseButton::Right);
    window.release(54, 64, MouseButton::Right);
    window.move(55, 65);
    settleMessages();

    EXPECT_EQ(client.presses.size(), 2u);
    EXPECT_EQ(client.passes, (std::vector<Pass>{{5, 6, kLeftButton, true, 1},
                                                {50, 60, kRightButton, true, 1},
                                                {51, 61, kRightButton, true, 1},
                                                {51, 61, kRightButton, true, 1},
                                                {53, 63, kRightButton, true, 1}}));
    EXPECT_EQ(client.ends, std::vector<int>{1});
    EXPECT_EQ(GetCapture(), nullptr);
}

// The rest of the thread's messages flow while a hold lasts: keys, paints
// and the wheel, which the default procedure passes to the host's window.
// Middle-button messages carry the hold on but are no press for the client.
TEST_F(MouseTracking, MessagesOtherThanTheHoldsAreHandledWhileItLasts) {
    struct Seen {
        int keys, draws, wheels;
        bool operator==(const Seen& other) const {
            return keys == other.keys && draws == other.draws && wheels == other.wheels;
        }
    };
    std::vector<Seen> seen;
    client.onPass = [&] { seen.push_back(Seen{int(client.keys.size()), client.draws, hostLog().wheelMessages}); };
    const int draws = client.draws;
    const int wheels = hostLog().wheelMessages;
    window.press(20, 30);
    PostMessageA(window.handle(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(window.handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, WHEEL_DELTA), pointParameter(200, 200));
    PostMessageA(window.handle(), WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON, pointParameter(70, 80));
    InvalidateRect(window.handle(), nullptr, FALSE);
    PostMessageA(window.handle(), WM_MBUTTONUP, MK_LBUTTON, pointParameter(71, 81));
    settleMessages();
    window.move(21, 31);
    window.release(21, 31);
    settleMessages();

    EXPECT_EQ(client.presses.size(), 1u) << "a middle press is no press for the client";
    EXPECT_EQ(client.passes, (std::vector<Pass>{{20, 30, kLeftButton, true, 1},
                                                {20, 30, kLeftButton, true, 1},
                                                {20, 30, kLeftButton, true, 1},
                                                {21, 31, kLeftButton, true, 1}}));
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[1], (Seen{1, draws, wheels + 1})) << "the key and the wheel came before the middle press";
    EXPECT_EQ(seen[3], (Seen{1, draws + 1, wheels + 1})) << "the paint came before the move";

    // Without a hold too: a middle press neither holds nor captures.
    PostMessageA(window.handle(), WM_MBUTTONDOWN, MK_MBUTTON, pointParameter(90, 95));
    settleMessages();
    EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
}

// Handled releases do not reach the default procedure, which would turn a
// right release into a context menu request for the host.
TEST_F(MouseTracking, RightClickAsksTheHostForNoContextMenu) {
    const int menusBefore = hostLog().contextMenus;
    window.press(40, 40, MouseButton::Right);
    window.release(40, 40, MouseButton::Right);
    settleMessages();
    ASSERT_EQ(client.passes.size(), 1u);
    EXPECT_EQ(client.passes[0].button, kRightButton);
    EXPECT_EQ(client.ends, std::vector<int>{1});
    EXPECT_EQ(hostLog().contextMenus, menusBefore);
}

// Two instances' windows on one thread: a hold started in one window follows
// the pointer into the other and ends on a release there.
TEST_F(MouseTracking, WindowsOfOneThreadShareItsMouseState) {
    TestClient otherClient;
    ClientWindow other(&otherClient, PixelRect{310, 0, 80, 80});
    window.press(10, 10);
    other.move(20, 30);
    other.release(20, 30);
    settleMessages();

    EXPECT_EQ(client.passes.size(), 2u);
    EXPECT_EQ(client.passes.back().x, 20);
    EXPECT_EQ(client.passes.back().y, 30);
    EXPECT_EQ(client.ends, std::vector<int>{1});
    EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(otherClient.presses.empty());
}

// Hosts may give each editor a thread of its own: a drag on one thread
// neither moves nor ends the hold another thread has begun.
// While this thread holds, threads that come and go (more of them than there
// are records for holding threads) each hold on their own.
TEST_F(MouseTracking, EachThreadHoldsOnItsOwn) {
    window.press(10, 10);
    settleMessages();
    for (int round = 0; round < 100; ++round) {
        std::vector<Pass> otherPasses;
        std::vector<int> otherEnds;
        std::thread other([&] {
            const HWND host = createTestHostWindow(PixelRect{460, 40, 100, 100});
            HoldingClient otherClient;
            {
                ClientWindow otherWindow(&otherClient, PixelRect{0, 0, 80, 80}, host);
                otherClient.window = otherWindow.handle();
                otherWindow.press(20, 20);
                otherWindow.move(21, 21);
                otherWindow.release(22, 22);
                settleMessages();
            }
            DestroyWindow(host);
            otherPasses = otherClient.passes;
            otherEnds = otherClient.ends;
        });
        other.join();
        ASSERT_EQ(otherPasses, (std::vector<Pass>{{20, 20, kLeftButton, true, 1}, {21, 21, kLeftButton, true, 1}}))
            << "round " << round;
        ASSERT_EQ(otherEnds, std::vector<int>{1}) << "round " << round;
    }
    window.move(12, 12);
    window.release(12, 12);
    settleMessages();

    EXPECT_EQ(client.passes, (std::vector<Pass>{{10, 10, kLeftButton, true, 1}, {12, 12, kLeftButton, true, 1}}));
    EXPECT_EQ(client.ends, std::vector<int>{1});
}

// In the middle of a hold something else takes the capture: another window
// (a host dialog), nobody (a switch to another program), or the window goes.
// No release will ever arrive; the hold ends once, as if it had, and leaves
// the capture to whoever has it now. Later moves carry nothing on.
TEST(LostCapture, EndsTheHoldAsIfTheButtonHadBeenReleased) {
    enum class Loss { AnotherWindowTakesIt, ReleasedToNobody, WindowDestroyed };
    for (Loss loss : {Loss::AnotherWindowTakesIt, Loss::ReleasedToNobody, Loss::WindowDestroyed}) {
        SCOPED_TRACE(static_cast<int>(loss));
        HoldingClient client;
        auto window = std::make_unique<ClientWindow>(&client);
        const HWND holding = window->handle();
        client.window = holding;
        TestClient dialogClient;
        ClientWindow dialog(&dialogClient, PixelRect{310, 0, 80, 80});
        HoldProbe probe;

        window->press(10, 10);
        window->move(11, 11);
        probe.post([&] {
            if (loss == Loss::AnotherWindowTakesIt) SetCapture(dialog.handle());
            if (loss == Loss::ReleasedToNobody) ReleaseCapture();
            if (loss == Loss::WindowDestroyed) DestroyWindow(holding);
        });
        dialog.move(12, 12);
        settleMessages();

        EXPECT_EQ(probe.ran(), 1u);
        EXPECT_EQ(client.passes.size(), 2u);
        EXPECT_EQ(client.ends, std::vector<int>{1});
        EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
        EXPECT_EQ(GetCapture(), loss == Loss::AnotherWindowTakesIt ? dialog.handle() : nullptr);
        ReleaseCapture();
        if (loss == Loss::WindowDestroyed) {
            EXPECT_FALSE(IsWindow(holding));
            continue;
        }

        // The next press holds as before.
        window->press(20, 20);
        window->move(21, 21);
        window->release(21, 21);
        settleMessages();
        EXPECT_EQ(client.presses.size(), 2u);
        EXPECT_EQ(client.passes.back(), (Pass{21, 21, kLeftButton, true, 2}));
        EXPECT_EQ(client.ends, (std::vector<int>{1, 2}));
        EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
    }
}

// Until a panel is attached (or after it has gone) a window of the class
// still validates its paints, ignores keys and tracks the buttons.
TEST(WindowWithoutClient, ValidatesPaintsAndStillTracksButtons) {
    ClientWindow window(nullptr);
    InvalidateRect(window.handle(), nullptr, FALSE);
    settleMessages();
    RECT update;
    EXPECT_FALSE(GetUpdateRect(window.handle(), &update, FALSE));

    PostMessageA(window.handle(), WM_KEYDOWN, VK_RETURN, 0);
    window.press(-4, 9);
    settleMessages();
    EXPECT_EQ(currentMouseState().capturedButton, kLeftButton);
    EXPECT_EQ(getMousePosition().x, -4);
    EXPECT_EQ(GetCapture(), window.handle());
    window.release(-4, 9);
    settleMessages();
    EXPECT_EQ(currentMouseState().capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
