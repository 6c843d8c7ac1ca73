// Runs test code in the middle of a held button. The thread's messages are
// handled in the order they were posted, so a message posted to this hidden
// window between the messages of a gesture runs its action at exactly that
// point of the gesture, while the control still holds the button.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class HoldProbe {
public:
    HoldProbe();
    ~HoldProbe();
    HoldProbe(const HoldProbe&) = delete;
    HoldProbe& operator=(const HoldProbe&) = delete;

    // Queues the action behind the messages posted so far.
    void post(std::function<void()> action);
    // Actions posted that have run.
    size_t ran() const { return done; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    std::vector<std::function<void()>> actions;
    size_t done = 0;
};
