#include "TestWindows.h"

#include <gtest/gtest.h>

namespace {
TestWindows* active = nullptr;
}

TestWindows::TestWindows() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(10, 20, 30));  // the class deletes it
    windowClass.cbWndExtra = 16;
    windowClass.lpszClassName = className;
    EXPECT_NE(RegisterClassA(&windowClass), 0);
    active = this;
}

TestWindows::~TestWindows() {
    for (HWND window : created) {
        if (IsWindow(window)) DestroyWindow(window);
    }
    pumpAll();
    UnregisterClassA(className, GetModuleHandleA(nullptr));
    active = nullptr;
}

HWND TestWindows::createTopLevel(int width, int height, DWORD style) {
    HWND window = CreateWindowExA(0, className, "top", style, 0, 0, width, height, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    created.push_back(window);
    return window;
}

HWND TestWindows::createChild(HWND parent, int x, int y, int width, int height, DWORD style) {
    HWND window = CreateWindowExA(0, className, "child", style, x, y, width, height, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    created.push_back(window);
    return window;
}

void TestWindows::pumpAll() {
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::vector<LoggedMessage> TestWindows::logged(std::initializer_list<UINT> kinds) const {
    std::vector<LoggedMessage> result;
    for (const LoggedMessage& entry : log) {
        for (UINT kind : kinds) {
            if (entry.message == kind) result.push_back(entry);
        }
    }
    return result;
}

LRESULT CALLBACK TestWindows::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (active) {
        active->log.push_back(LoggedMessage{window, message, wParam, lParam});
        LRESULT result = 0;
        if (active->handler && active->handler(window, message, wParam, lParam, result)) return result;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
