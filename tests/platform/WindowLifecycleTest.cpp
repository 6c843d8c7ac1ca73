// Classes and windows: registration, creation and destruction messages,
// handles, relations, geometry and window longs, as Win32 has them.
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::vector<std::pair<HWND, UINT>> pairs(const std::vector<LoggedMessage>& log) {
    std::vector<std::pair<HWND, UINT>> result;
    for (const LoggedMessage& entry : log) result.emplace_back(entry.window, entry.message);
    return result;
}

}  // namespace

TEST(WindowClasses, RegisterOnceAndUnregisterOnlyWithoutWindows) {
    TestWindows windows;
    WNDCLASSA again = {};
    again.lpfnWndProc = DefWindowProcA;
    again.hInstance = GetModuleHandleA(nullptr);
    again.lpszClassName = "platformtestwindow";  // names ignore case
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));

    HWND window = windows.createTopLevel();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(UnregisterClassA(TestWindows::className, GetModuleHandleA(nullptr)));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassA(TestWindows::className, GetModuleHandleA(nullptr)));

    EXPECT_FALSE(UnregisterClassA(TestWindows::className, GetModuleHandleA(nullptr)));
    EXPECT_EQ(CreateWindowExA(0, TestWindows::className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr),
              nullptr);
}

TEST(WindowClasses, UnregisteringDeletesTheBackgroundBrushButNotTheSystems) {
    HBRUSH own = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH system = GetSysColorBrush(COLOR_BTNFACE);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    for (HBRUSH brush : {own, system}) {
        windowClass.hbrBackground = brush;
        windowClass.lpszClassName = "BrushOwner";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        EXPECT_TRUE(UnregisterClassA("BrushOwner", GetModuleHandleA(nullptr)));
    }
    LOGBRUSH description;
    EXPECT_EQ(GetObjectA(own, sizeof description, &description), 0);
    EXPECT_EQ(GetObjectA(system, sizeof description, &description), int(sizeof description));
    EXPECT_EQ(description.lbColor, GetSysColor(COLOR_BTNFACE));
}

TEST(WindowCreation, ChildReceivesCreationMessagesInOrder) {
    TestWindows windows;
    HWND parent = windows.createTopLevel();
    windows.clearLog();
    int parameter = 42;
    CREATESTRUCTA seen = {};
    windows.handler = [&](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (message == WM_CREATE) seen = *reinterpret_cast<CREATESTRUCTA*>(lParam);
        return false;
    };
    HWND child = CreateWindowExA(0, TestWindows::className, "panel", WS_CHILD | WS_VISIBLE, 5, 6, 30, 20,
                                 parent, nullptr, GetModuleHandleA(nullptr), &parameter);
    ASSERT_NE(child, nullptr);
    std::vector<std::pair<HWND, UINT>> expected = {
        {child, WM_NCCREATE}, {child, WM_CREATE}, {child, WM_SIZE},
        {child, WM_MOVE},     {parent, WM_PARENTNOTIFY}, {child, WM_SHOWWINDOW}};
    EXPECT_EQ(pairs(windows.logged({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_PARENTNOTIFY, WM_SHOWWINDOW})),
              expected);
    EXPECT_EQ(seen.lpCreateParams, &parameter);
    EXPECT_EQ(seen.hwndParent, parent);
    EXPECT_EQ(seen.cx, 30);
    EXPECT_EQ(seen.cy, 20);
    EXPECT_EQ(seen.x, 5);
    EXPECT_EQ(DWORD(seen.style), DWORD(WS_CHILD | WS_VISIBLE));
    std::vector<LoggedMessage> size = windows.logged({WM_SIZE});
    EXPECT_EQ(size[0].lParam, MAKELPARAM(30, 20));
    char title[16];
    EXPECT_EQ(GetWindowTextA(child, title, sizeof title), 5);
    EXPECT_STREQ(title, "panel");
}

TEST(WindowCreation, OverlappedWindowsReportTheirSizeWhenFirstShown) {
    TestWindows windows;
    auto kinds = [&windows] {
        std::vector<UINT> result;
        for (const LoggedMessage& entry : windows.logged({WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}))
            result.push_back(entry.message);
        windows.clearLog();
        return result;
    };
    HWND popup = windows.createTopLevel(100, 50, WS_POPUP);
    EXPECT_EQ(kinds(), (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_FALSE(ShowWindow(popup, SW_SHOW));  // it was hidden
    EXPECT_EQ(kinds(), (std::vector<UINT>{WM_SHOWWINDOW}));
    EXPECT_TRUE(ShowWindow(popup, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(kinds(), std::vector<UINT>{});

    HWND overlapped = windows.createTopLevel(200, 100, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(kinds(), (std::vector<UINT>{WM_CREATE}));
    ShowWindow(overlapped, SW_SHOWNORMAL);
    EXPECT_EQ(kinds(), (std::vector<UINT>{WM_SHOWWINDOW, WM_SIZE, WM_MOVE}));
}

TEST(WindowCreation, ProcedureCanRefuseCreation) {
    TestWindows windows;
    HWND parent = windows.createTopLevel();
    windows.handler = [](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_CREATE) return false;
        result = -1;
        return true;
    };
    windows.clearLog();
    EXPECT_EQ(windows.createChild(parent, 0, 0, 10, 10), nullptr);
    std::vector<LoggedMessage> ends = windows.logged({WM_DESTROY, WM_NCDESTROY});
    ASSERT_EQ(ends.size(), 1u) << "the refused window hears only of its end";
    EXPECT_EQ(ends[0].message, UINT(WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(ends[0].window));
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
}

TEST(WindowDestruction, OwnedWindowsFirstThenDestroyDownwardsAndNcDestroyUpwards) {
    TestWindows windows;
    HWND top = windows.createTopLevel();
    HWND child = windows.createChild(top, 0, 0, 50, 50);
    HWND grandChild = windows.createChild(child, 0, 0, 10, 10);
    HWND popup = CreateWindowExA(0, TestWindows::className, "owned", WS_POPUP, 0, 0, 20, 20, grandChild,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), top) << "a child cannot own: its top-level window does";
    EXPECT_EQ(GetParent(popup), top);
    windows.clearLog();
    EXPECT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> expected = {
        {popup, WM_DESTROY},      {popup, WM_NCDESTROY},      {top, WM_DESTROY},     {child, WM_DESTROY},
        {grandChild, WM_DESTROY}, {grandChild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}};
    EXPECT_EQ(pairs(windows.logged({WM_DESTROY, WM_NCDESTROY})), expected);
    for (HWND window : {top, child, grandChild, popup}) EXPECT_FALSE(IsWindow(window));
}

TEST(WindowDestruction, StaleAndGarbageHandlesFailWithoutHarm) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    ASSERT_TRUE(DestroyWindow(window));
    RECT rect;
    MSG message;
    for (HWND bad : {window, static_cast<HWND>(nullptr), reinterpret_cast<HWND>(0x12345678),
                     reinterpret_cast<HWND>(~uintptr_t(0) - 7)}) {
        EXPECT_FALSE(IsWindow(bad));
        EXPECT_FALSE(GetClientRect(bad, &rect));
        EXPECT_EQ(SetWindowLongPtrA(bad, GWLP_USERDATA, 5), 0);
        EXPECT_EQ(GetWindowLongPtrA(bad, GWLP_USERDATA), 0);
        if (bad) {
            EXPECT_EQ(GetDC(bad), nullptr);  // GetDC(nullptr) asks for the screen
        }
        EXPECT_FALSE(DestroyWindow(bad));
        EXPECT_EQ(GetParent(bad), nullptr);
        EXPECT_EQ(SendMessageA(bad, WM_USER, 0, 0), 0);
        if (bad) {
            EXPECT_FALSE(PostMessageA(bad, WM_USER, 0, 0));
            EXPECT_FALSE(PeekMessageA(&message, bad, 0, 0, PM_REMOVE));
            EXPECT_EQ(GetMessageA(&message, bad, 0, 0), -1);
        }
    }
}

TEST(WindowDestruction, HandlesOfDestroyedWindowsAreNotHandedOutAgainSoon) {
    TestWindows windows;
    std::set<HWND> seen;
    for (int i = 0; i < 200; ++i) {
        HWND window = windows.createTopLevel(10, 10, WS_POPUP);
        EXPECT_TRUE(seen.insert(window).second);
        DestroyWindow(window);
    }
    for (HWND old : seen) EXPECT_FALSE(IsWindow(old));
}

TEST(WindowRelations, ParentsOwnersZOrderAndSearch) {
    TestWindows windows;
    HWND top = windows.createTopLevel();
    HWND first = windows.createChild(top, 0, 0, 10, 10);
    HWND second = windows.createChild(top, 10, 0, 10, 10);
    SetWindowTextA(second, "second");
    EXPECT_EQ(GetParent(first), top);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_EQ(GetWindow(top, GW_CHILD), first) << "new children join the bottom of the z-order";
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDPREV), first);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), nullptr);
    EXPECT_TRUE(IsChild(top, second));
    EXPECT_FALSE(IsChild(second, top));
    EXPECT_EQ(FindWindowExA(top, nullptr, TestWindows::className, nullptr), first);
    EXPECT_EQ(FindWindowExA(top, first, TestWindows::className, nullptr), second);
    EXPECT_EQ(FindWindowExA(top, nullptr, nullptr, "SECOND"), second);
    EXPECT_EQ(FindWindowExA(top, second, nullptr, nullptr), nullptr);
    EXPECT_EQ(FindWindowExA(top, nullptr, "NoSuchClass", nullptr), nullptr);
}

TEST(WindowGeometry, FramesFollowTheSystemMetrics) {
    TestWindows windows;
    HWND overlapped = windows.createTopLevel(300, 200, WS_OVERLAPPEDWINDOW);
    RECT client;
    ASSERT_TRUE(GetClientRect(overlapped, &client));
    int frame = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(client.right, 300 - 2 * frame);
    EXPECT_EQ(client.bottom, 200 - 2 * GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYCAPTION));
    RECT adjusted = client;
    AdjustWindowRectEx(&adjusted, WS_OVERLAPPEDWINDOW, FALSE, 0);
    EXPECT_EQ(adjusted.right - adjusted.left, 300);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 200);

    RECT popup = {100, 100, 368, 380};
    AdjustWindowRectEx(&popup, 0x96400000, FALSE, 0);
    int dialogFrame = GetSystemMetrics(SM_CXDLGFRAME);
    EXPECT_EQ(popup.left, 100 - dialogFrame);
    EXPECT_EQ(popup.top, 100 - GetSystemMetrics(SM_CYDLGFRAME));
    EXPECT_EQ(popup.right, 368 + dialogFrame);
    RECT child = {0, 0, 10, 10};
    AdjustWindowRectEx(&child, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, FALSE, 0);
    EXPECT_EQ(child.left, 0);
    EXPECT_EQ(child.bottom, 10);

    HWND top = windows.createTopLevel(200, 150, WS_POPUP | WS_BORDER | WS_VISIBLE);
    HWND panel = windows.createChild(top, 7, 9, 40, 30);
    RECT onScreen;
    ASSERT_TRUE(GetWindowRect(panel, &onScreen));
    POINT origin = {0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(onScreen.left, origin.x + 7);
    EXPECT_EQ(onScreen.top, origin.y + 9);
    EXPECT_EQ(onScreen.right - onScreen.left, 40);
    HWND distant = windows.createChild(top, 2147483000, -2147483000, 2147483000, -5);
    ASSERT_NE(distant, nullptr) << "extreme coordinates are brought into range";
    RECT farClient;
    EXPECT_TRUE(GetClientRect(distant, &farClient));
    EXPECT_EQ(farClient.bottom, 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

TEST(WindowLongs, UserDataStylesAndExtraBytes) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    int object = 0;
    LONG_PTR pointer = reinterpret_cast<LONG_PTR>(&object);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, pointer), 0);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 7), pointer);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 7);
    // The 32-bit functions of 32-bit Windows code reach the same slot.
    EXPECT_EQ(SetWindowLongA(window, GWLP_USERDATA, -5), 7);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), -5);
    EXPECT_EQ(GetWindowLongA(window, GWLP_USERDATA), -5);

    EXPECT_EQ(DWORD(GetWindowLongA(window, GWL_STYLE)) & DWORD(WS_POPUP | WS_VISIBLE), DWORD(WS_POPUP | WS_VISIBLE));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_HINSTANCE), reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr)));

    EXPECT_EQ(SetWindowLongPtrA(window, 8, 0x1122334455667788), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, 8), 0x1122334455667788);
    EXPECT_EQ(GetWindowLongA(window, 12), 0x11223344);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrA(window, 12), 0) << "past the 16 extra bytes of the class";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));

    WNDPROC procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    EXPECT_NE(procedure, nullptr);
    EXPECT_EQ(CallWindowProcA(procedure, window, WM_GETTEXTLENGTH, 0, 0), 3);
}
