// Holding a button: the window procedure keeps the pointer and the held
// button in the process-wide mouse state, and a hold loop started from a
// press pumps the queued mouse messages back through it. Every gesture is
// queued whole before its press is handled, as when the user is quicker than
// the plug-in.
#include <gtest/gtest.h>

#include <memory>

#include "GuiTestWindows.h"
#include "HoldProbe.h"
#include "gui/MouseTracking.h"

namespace {

struct Pass {
    int32_t x;
    int32_t y;
    int32_t button;
    bool captured;  // the mouse is captured by the window that took the press
    int depth;      // 1 inside a hold, 2 inside a hold started within another
};

bool operator==(const Pass& a, const Pass& b) {
    return a.x == b.x && a.y == b.y && a.button == b.button && a.captured == b.captured && a.depth == b.depth;
}

std::ostream& operator<<(std::ostream& out, const Pass& pass) {
    return out << "{" << pass.x << ", " << pass.y << ", button " << pass.button << (pass.captured ? ", captured" : "")
               << ", depth " << pass.depth << "}";
}

// A client whose every press runs a hold loop, as a knob does, noting what
// each pass finds.
class HoldingClient : public TestClient {
public:
    HoldingClient() {
        onPress = [this](int32_t, int32_t) {
            ++depth;
            atPress.push_back(current());
            holdLoop([this] {
                passes.push_back(current());
                if (onPass) onPass();
            });
            --depth;
        };
    }

    Pass current() const {
        const PixelPoint pointer = getMousePosition();
        return Pass{pointer.x, pointer.y, mouseState.capturedButton, window && GetCapture() == window, depth};
    }

    std::function<void()> onPass;
    HWND window = nullptr;
    int depth = 0;
    std::vector<Pass> atPress;
    std::vector<Pass> passes;
};

class MouseTracking : public ::testing::Test {
protected:
    HoldingClient client;
    ClientWindow window{&client};

    void SetUp() override { client.window = window.handle(); }
};

TEST_F(MouseTracking, HoldFollowsQueuedMovesUntilTheReleaseEvenOutsideTheWindow) {
    window.press(100, 50);
    window.move(120, 55);
    window.move(-7, 40);   // left of the window
    window.move(30, -12);  // above it
    window.move(-300, -2000);
    window.release(-300, -2000);
    settleMessages();

    // Position, button and capture are in place before the client runs.
    ASSERT_EQ(client.presses.size(), 1u);
    EXPECT_EQ(client.atPress[0], (Pass{100, 50, kLeftButton, true, 1}));
    EXPECT_EQ(client.passes, (std::vector<Pass>{{120, 55, kLeftButton, true, 1},
                                                {-7, 40, kLeftButton, true, 1},
                                                {30, -12, kLeftButton, true, 1},
                                                {-300, -2000, kLeftButton, true, 1}}));
    EXPECT_EQ(mouseState.capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MouseTracking, OnlyTheReleaseOfTheHeldButtonEndsTheHold) {
    window.press(10, 10);
    window.release(11, 11, MouseButton::Right);
    window.move(12, 12);
    window.release(13, 13);
    window.release(14, 14);  // a second release finds nothing held
    settleMessages();

    EXPECT_EQ(client.passes, (std::vector<Pass>{{10, 10, kLeftButton, true, 1}, {12, 12, kLeftButton, true, 1}}));
    EXPECT_EQ(client.presses.size(), 1u);
    EXPECT_EQ(mouseState.capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
}

// The right press inside a left hold starts a second hold within the first;
// its release ends both, and the left release that follows finds nothing held.
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
    EXPECT_EQ(client.atPress[0], (Pass{5, 6, kLeftButton, true, 1}));
    EXPECT_EQ(client.atPress[1], (Pass{50, 60, kRightButton, true, 2}));
    EXPECT_EQ(client.passes, (std::vector<Pass>{{7, 8, kLeftButton, true, 1}, {51, 61, kRightButton, true, 2}}));
    EXPECT_EQ(client.depth, 0);
    EXPECT_EQ(mouseState.capturedButton, kNoButton);
    EXPECT_EQ(getMousePosition().x, 53) << "the move after both holds was still recorded";
}

// Middle-button messages lie in the pumped range but reach only the default
// procedure; the wheel lies outside it and waits until the hold is over, and
// the default procedure then passes it to the parent.
TEST_F(MouseTracking, MiddleButtonAndWheelGoToTheDefaultProcedure) {
    int wheelsDuringHold = -1;
    client.onPass = [&wheelsDuringHold] { wheelsDuringHold = hostLog().wheelMessages; };
    const int wheelsBefore = hostLog().wheelMessages;
    window.press(20, 30);
    PostMessageA(window.handle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, WHEEL_DELTA), pointParameter(200, 200));
    PostMessageA(window.handle(), WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON, pointParameter(70, 80));
    PostMessageA(window.handle(), WM_MBUTTONUP, MK_LBUTTON, pointParameter(71, 81));
    window.move(21, 31);
    window.release(21, 31);
    settleMessages();

    EXPECT_EQ(client.presses.size(), 1u) << "a middle press is no press for the client";
    EXPECT_EQ(client.passes, (std::vector<Pass>{{20, 30, kLeftButton, true, 1},
                                                {20, 30, kLeftButton, true, 1},
                                                {21, 31, kLeftButton, true, 1}}));
    EXPECT_EQ(wheelsDuringHold, wheelsBefore);
    EXPECT_EQ(hostLog().wheelMessages, wheelsBefore + 1);

    // Without a hold too: a middle press neither moves the pointer nor captures.
    PostMessageA(window.handle(), WM_MBUTTONDOWN, MK_MBUTTON, pointParameter(90, 95));
    settleMessages();
    EXPECT_EQ(getMousePosition().x, 21);
    EXPECT_EQ(mouseState.capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
}

// Handled releases do not reach the default procedure, which would turn a
// right release into a context menu request for the host.
TEST_F(MouseTracking, RightClickAsksTheHostForNoContextMenu) {
    const int menusBefore = hostLog().contextMenus;
    window.press(40, 40, MouseButton::Right);
    window.release(40, 40, MouseButton::Right);
    settleMessages();
    EXPECT_EQ(client.atPress.size(), 1u);
    EXPECT_EQ(client.atPress[0].button, kRightButton);
    EXPECT_EQ(hostLog().contextMenus, menusBefore);
}

TEST_F(MouseTracking, PumpTakesOneMouseMessageWithoutWaitingAndLeavesTheRest) {
    EXPECT_EQ(pumpMouseMessages(), kNoButton) << "an empty queue returns at once";

    PostMessageA(window.handle(), WM_KEYDOWN, VK_SPACE, 0);
    window.move(3, 4);
    window.move(5, 6);
    EXPECT_EQ(pumpMouseMessages(), kNoButton);
    EXPECT_EQ(getMousePosition().x, 3);
    EXPECT_TRUE(client.keys.empty()) << "keys wait while mouse messages are pumped";
    EXPECT_EQ(pumpMouseMessages(), kNoButton);
    EXPECT_EQ(getMousePosition().x, 5);
    settleMessages();
    EXPECT_EQ(client.keys, std::vector<int32_t>{VK_SPACE});
}

// Two instances' windows in one process: a hold started in one window follows
// the pointer into the other and ends on a release there.
TEST_F(MouseTracking, WindowsShareOneMouseState) {
    TestClient otherClient;
    ClientWindow other(&otherClient, PixelRect{310, 0, 80, 80});
    window.press(10, 10);
    other.move(20, 30);
    other.release(20, 30);
    settleMessages();

    EXPECT_EQ(client.passes.size(), 1u);
    EXPECT_EQ(client.passes[0].x, 20);
    EXPECT_EQ(client.passes[0].y, 30);
    EXPECT_EQ(mouseState.capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(otherClient.presses.empty());
}

// In the middle of a hold something else takes the capture: another window
// (a host dialog), nobody (a switch to another program), or the window goes.
// No release will ever arrive; the hold ends as if it had, and leaves the
// capture to whoever has it now. A hold that spins on regardless is ended
// after a thousand passes by a release of the test's own.
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
        int spins = 0;
        client.onPass = [&] {
            if (++spins == 1000) postRelease(holding, 0, 0);
        };

        window->press(10, 10);
        window->move(11, 11);
        probe.post([&] {
            if (loss == Loss::AnotherWindowTakesIt) SetCapture(dialog.handle());
            if (loss == Loss::ReleasedToNobody) ReleaseCapture();
            if (loss == Loss::WindowDestroyed) DestroyWindow(holding);
        });
        settleMessages();

        EXPECT_EQ(probe.ran(), 1u);
        EXPECT_LT(spins, 1000) << "the hold went on without its capture";
        EXPECT_EQ(mouseState.capturedButton, kNoButton);
        EXPECT_EQ(GetCapture(), loss == Loss::AnotherWindowTakesIt ? dialog.handle() : nullptr);
        ReleaseCapture();
        if (loss == Loss::WindowDestroyed) {
            EXPECT_FALSE(IsWindow(holding));
        }

        // The next press holds as before.
        if (loss != Loss::WindowDestroyed) {
            window->press(20, 20);
            window->move(21, 21);
            window->release(21, 21);
            settleMessages();
            EXPECT_EQ(client.presses.size(), 2u);
            EXPECT_EQ(client.passes.back(), (Pass{21, 21, kLeftButton, true, 1}));
            EXPECT_EQ(mouseState.capturedButton, kNoButton);
        }
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
    EXPECT_EQ(mouseState.capturedButton, kLeftButton);
    EXPECT_EQ(getMousePosition().x, -4);
    EXPECT_EQ(GetCapture(), window.handle());
    window.release(-4, 9);
    settleMessages();
    EXPECT_EQ(mouseState.capturedButton, kNoButton);
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
