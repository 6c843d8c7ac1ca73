// Windows for the platform tests: one class whose procedure records the
// messages it receives and lets each test answer some of them itself.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct LoggedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class TestWindows {
public:
    TestWindows();  // registers the class; the destructor destroys what is left and unregisters
    ~TestWindows();

    static constexpr const char* className = "PlatformTestWindow";

    // A shown top-level popup at the top-left of the screen, away from the
    // pointer of the Wine tests' virtual screen.
    HWND createTopLevel(int width = 120, int height = 80, DWORD style = WS_POPUP | WS_VISIBLE);
    HWND createChild(HWND parent, int x, int y, int width, int height, DWORD style = WS_CHILD | WS_VISIBLE);

    // Dispatches every message waiting for this thread, paints included.
    static void pumpAll();

    // Messages of these kinds received since the last clear, in order.
    std::vector<LoggedMessage> logged(std::initializer_list<UINT> kinds) const;
    void clearLog() { log.clear(); }

    // Answers the message itself when it returns true.
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> handler;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::vector<LoggedMessage> log;
    std::vector<HWND> created;
};

// The class background, RGB(10, 20, 30), as a pixel.
constexpr unsigned testBackgroundPixel = 0x0a141e;
