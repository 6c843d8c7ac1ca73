// The thread's message queue: order, filters, paint and quit requests,
// capture and what the default procedure passes on.
#include "TestWindows.h"

#include <gtest/gtest.h>

namespace {

// The messages waiting that match, taken off the queue, as Win32 orders them.
std::vector<UINT> drain(HWND filter, UINT first, UINT last) {
    std::vector<UINT> result;
    MSG message;
    while (result.size() < 100 && PeekMessageA(&message, filter, first, last, PM_REMOVE)) {
        result.push_back(message.message);
        if (message.message == WM_PAINT) ValidateRect(message.hwnd, nullptr);
    }
    return result;
}

}  // namespace

TEST(MessageQueue, PostedMessagesKeepTheirOrderAndNoRemoveLeavesThem) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    TestWindows::pumpAll();
    for (UINT i = 1; i <= 3; ++i) EXPECT_TRUE(PostMessageA(window, WM_USER + i, i, LPARAM(10 * i)));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, WM_USER, WM_USER + 10, PM_NOREMOVE));
    EXPECT_EQ(message.message, UINT(WM_USER + 1));
    ASSERT_TRUE(PeekMessageA(&message, window, WM_USER, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_USER + 1));
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, WPARAM(1));
    EXPECT_EQ(message.lParam, LPARAM(10));
    EXPECT_EQ(drain(window, WM_USER, WM_USER + 10), (std::vector<UINT>{WM_USER + 2, WM_USER + 3}));
}

TEST(MessageQueue, WindowAndRangeFilters) {
    TestWindows windows;
    HWND first = windows.createTopLevel();
    HWND child = windows.createChild(first, 0, 0, 10, 10);
    HWND second = windows.createTopLevel();
    TestWindows::pumpAll();
    PostMessageA(first, WM_USER + 1, 0, 0);
    PostMessageA(child, WM_USER + 2, 0, 0);
    PostMessageA(second, WM_USER + 3, 0, 0);
    PostMessageA(nullptr, WM_USER + 4, 0, 0);
    PostMessageA(first, WM_USER + 5, 0, 0);

    EXPECT_EQ(drain(first, WM_USER + 2, WM_USER + 2), (std::vector<UINT>{WM_USER + 2}))
        << "a window filter takes its children's messages too";
    EXPECT_EQ(drain(first, WM_USER + 5, WM_USER + 1), std::vector<UINT>{}) << "a reversed range matches nothing";
    EXPECT_EQ(drain(reinterpret_cast<HWND>(-1), WM_USER, WM_USER + 10), (std::vector<UINT>{WM_USER + 4}));
    EXPECT_EQ(drain(second, WM_USER, WM_USER + 10), (std::vector<UINT>{WM_USER + 3}));
    EXPECT_EQ(drain(nullptr, WM_USER, WM_USER + 10), (std::vector<UINT>{WM_USER + 1, WM_USER + 5}));
}

TEST(MessageQueue, PaintComesAfterPostedMessagesAndStaysUntilValidated) {
    TestWindows windows;
    HWND top = windows.createTopLevel();
    HWND child = windows.createChild(top, 0, 0, 20, 20);
    TestWindows::pumpAll();
    InvalidateRect(child, nullptr, FALSE);
    PostMessageA(child, WM_USER, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, child, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_USER));
    ASSERT_TRUE(PeekMessageA(&message, child, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_PAINT));
    EXPECT_EQ(message.hwnd, child);
    ASSERT_TRUE(PeekMessageA(&message, child, WM_PAINT, WM_PAINT, PM_REMOVE)) << "still invalid";
    EXPECT_FALSE(PeekMessageA(&message, child, WM_USER, WM_USER + 10, PM_REMOVE)) << "outside the range";
    DispatchMessageA(&message);  // the default procedure paints and validates
    EXPECT_FALSE(PeekMessageA(&message, child, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST(MessageQueue, QuitComesAfterPostedMessagesWhateverTheFilter) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    TestWindows::pumpAll();
    PostQuitMessage(3);
    PostMessageA(window, WM_USER, 0, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT)) << "no filter holds the quit request back";
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_USER));
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, WPARAM(3));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(MessageQueue, SendCallsTheProcedureAtOnce) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    windows.handler = [](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (message != WM_USER) return false;
        result = LRESULT(wParam) * 100 + lParam;
        return true;
    };
    EXPECT_EQ(SendMessageA(window, WM_USER, 4, 2), 402);
}

TEST(MouseCapture, CaptureMovesBetweenWindowsAndTellsTheLoser) {
    TestWindows windows;
    HWND first = windows.createTopLevel();
    HWND second = windows.createChild(first, 0, 0, 10, 10);
    TestWindows::pumpAll();
    ReleaseCapture();
    windows.clearLog();
    EXPECT_EQ(SetCapture(first), nullptr);
    EXPECT_EQ(GetCapture(), first);
    EXPECT_EQ(SetCapture(second), first);
    std::vector<LoggedMessage> changes = windows.logged({WM_CAPTURECHANGED});
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].window, first);
    EXPECT_EQ(changes[0].lParam, LPARAM(second));
    windows.clearLog();
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    changes = windows.logged({WM_CAPTURECHANGED});
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].window, second);
    EXPECT_EQ(changes[0].lParam, 0);

    SetCapture(second);
    DestroyWindow(second);
    EXPECT_EQ(GetCapture(), nullptr) << "a destroyed window gives up the capture";
}

TEST(DefaultProcedure, WheelGoesUpToTheParentOtherMouseMessagesStop) {
    TestWindows windows;
    HWND parent = windows.createTopLevel();
    HWND child = windows.createChild(parent, 0, 0, 10, 10);
    TestWindows::pumpAll();
    windows.clearLog();
    SendMessageA(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(5, 5));
    SendMessageA(child, WM_MBUTTONDOWN, 0, MAKELPARAM(5, 5));
    SendMessageA(child, WM_MBUTTONUP, 0, MAKELPARAM(5, 5));
    std::vector<LoggedMessage> wheel = windows.logged({WM_MOUSEWHEEL});
    ASSERT_EQ(wheel.size(), 2u);
    EXPECT_EQ(wheel[0].window, child);
    EXPECT_EQ(wheel[1].window, parent);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[1].wParam), WHEEL_DELTA);
    EXPECT_EQ(windows.logged({WM_MBUTTONDOWN}).size(), 1u);
}

TEST(DefaultProcedure, CloseDestroysTheWindow) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST(MessageQueue, TranslateTurnsKeyPressesIntoCharacters) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    TestWindows::pumpAll();
    const LPARAM keyA = 0x001e0001;  // repeat count 1, scan code of A
    MSG press = {window, WM_KEYDOWN, 'A', keyA, 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&press));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, window, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(message.wParam, WPARAM('a'));
    MSG move = {window, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&move));
}
