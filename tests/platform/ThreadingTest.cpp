// Threads: drawing from another thread while the window's own thread
// paints, creates and destroys windows (the gain meter's case), messages
// between threads, and windows whose thread ends. Run under the thread
// sanitizer to find races.
#include "TestWindows.h"
#include "WindowCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// Draws a strip into the window the way the gain meter does, until told to
// stop; counts the draws that reached a live window.
void drawLikeTheMeter(std::atomic<HWND>& target, HBITMAP strip, std::atomic<bool>& stop,
                      std::atomic<int>& draws) {
    int frame = 0;
    while (!stop.load()) {
        HWND window = target.load();
        HDC windowContext = GetDC(window);
        if (!windowContext) {
            std::this_thread::yield();
            continue;
        }
        HDC memoryContext = CreateCompatibleDC(windowContext);
        if (memoryContext) {
            HGDIOBJ previous = SelectObject(memoryContext, strip);
            if (previous) {
                if (BitBlt(windowContext, 0, 0, 10, 10, memoryContext, 10 * (frame++ % 4), 0, SRCCOPY)) ++draws;
                SelectObject(memoryContext, previous);
            }
            DeleteDC(memoryContext);
        }
        ReleaseDC(window, windowContext);
    }
}

HBITMAP makeStrip() {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -10, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 400; ++i) pixels[i] = uint32_t(0x400000 * ((i % 40) / 10));
    return strip;
}

}  // namespace

TEST(Threads, DrawingFromAnotherThreadWhileWindowsComeAndGo) {
    TestWindows windows;
    HWND host = windows.createTopLevel(200, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    std::atomic<HWND> panel{windows.createChild(host, 0, 0, 100, 50)};
    HBITMAP strip = makeStrip();
    std::atomic<bool> stop{false};
    std::atomic<int> draws{0};
    std::thread audio(drawLikeTheMeter, std::ref(panel), strip, std::ref(stop), std::ref(draws));

    for (int round = 0; round < 60; ++round) {
        HWND extra = windows.createChild(panel.load(), 20, 20, 10, 10);
        InvalidateRect(panel.load(), nullptr, TRUE);
        TestWindows::pumpAll();
        CapturedImage image = captureWindow(panel.load());
        EXPECT_EQ(image.width, 100);
        DestroyWindow(extra);
        if (round % 20 == 19) {
            // The meter's window goes while the meter draws into it.
            HWND old = panel.load();
            panel = windows.createChild(host, 0, 0, 100, 50);
            DestroyWindow(old);
        }
    }
    while (draws.load() == 0) std::this_thread::yield();
    stop = true;
    audio.join();
    DeleteObject(strip);
}

TEST(Threads, SendWaitsForTheWindowsThreadAndPostWakesItsWait) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<bool> ranOnUiThread{false};
    windows.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_USER) return false;
        ranOnUiThread = std::this_thread::get_id() == uiThread;
        result = LRESULT(wParam) + 1;
        return true;
    };
    LRESULT answer = 0;
    std::thread sender([&] {
        answer = SendMessageA(window, WM_USER, 41, 0);
        PostMessageA(window, WM_USER + 1, 0, 0);
    });
    MSG message;
    // The sent message is answered inside GetMessage; the post ends the wait.
    do {
        ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
        DispatchMessageA(&message);
    } while (message.message != WM_USER + 1);
    sender.join();
    EXPECT_EQ(answer, 42);
    EXPECT_TRUE(ranOnUiThread);
    windows.handler = nullptr;
}

TEST(Threads, WindowsGoWithTheirThread) {
    TestWindows windows;
    HWND created = nullptr;
    std::thread worker([&] { created = windows.createTopLevel(); });
    worker.join();
    ASSERT_NE(created, nullptr);
    EXPECT_FALSE(IsWindow(created));
}

TEST(Threads, OtherThreadsCannotDestroyOrDispatchToAWindow) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    std::atomic<bool> destroyed{true};
    LRESULT dispatched = 1;
    std::thread other([&] {
        destroyed = DestroyWindow(window) != FALSE;
        MSG message = {window, WM_USER, 0, 0, 0, {0, 0}};
        dispatched = DispatchMessageA(&message);
    });
    other.join();
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(dispatched, 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST(Threads, SenderGetsZeroWhenTheWindowsThreadEnds) {
    TestWindows windows;
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> release{false};
    std::thread owner([&] {
        window = windows.createTopLevel();
        while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (!window.load()) std::this_thread::yield();
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        release = true;
    });
    // The owner never looks at its queue: the answer comes when it ends.
    EXPECT_EQ(SendMessageA(window.load(), WM_USER, 0, 0), 0);
    owner.join();
    releaser.join();
    EXPECT_FALSE(IsWindow(window.load()));
}

TEST(Threads, InvalidationFromAnotherThreadWakesTheWaitingThread) {
    TestWindows windows;
    HWND window = windows.createTopLevel();
    TestWindows::pumpAll();
    std::thread other([window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        InvalidateRect(window, nullptr, FALSE);
    });
    MSG message;
    ASSERT_EQ(GetMessageA(&message, window, WM_PAINT, WM_PAINT), TRUE);
    EXPECT_EQ(message.hwnd, window);
    DispatchMessageA(&message);
    other.join();
}

// The holder of a critical section may enter it again and keeps it until it
// has left as often as it entered: the count is touched after the first
// leave, and a race there shows as lost counts (and under the sanitizer).
TEST(Threads, CriticalSectionIsHeldUntilLeftAsOftenAsEntered) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    int count = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            EnterCriticalSection(&section);
            EnterCriticalSection(&section);
            LeaveCriticalSection(&section);
            ++count;
            LeaveCriticalSection(&section);
        }
    };
    std::thread first(work), second(work);
    first.join();
    second.join();
    DeleteCriticalSection(&section);
    EXPECT_EQ(count, 40000);
}
