#include "gui/MouseTracking.h"

thread_local MouseState mouseState = {0, 0, kNoButton};

namespace {

struct Hold {
    HoldTarget* target = nullptr;
    HWND window = nullptr;  // the window whose press began it
    uint32_t press = 0;     // which of the thread's presses began it
};

// The thread's holds in the order they began: the holds of one press side by
// side, those of a press made during them after them. A handful at most in
// practice (two controls touch at one edge of the panel); a hold beyond the
// capacity ends as soon as it begins.
struct ThreadHolds {
    static constexpr int kCapacity = 16;
    Hold holds[kCapacity];
    int count = 0;
    uint32_t presses = 0;
    HWND pressWindow = nullptr;  // the window that took the press of the button now held
};

thread_local ThreadHolds threadHolds;

void removeHold(int index) {
    ThreadHolds& state = threadHolds;
    for (int i = index + 1; i < state.count; ++i) state.holds[i - 1] = state.holds[i];
    --state.count;
}

// The first hold of the latest press among the holds [0, end).
int firstOfLastPress(int end) {
    const Hold* holds = threadHolds.holds;
    int first = end - 1;
    while (first > 0 && holds[first - 1].press == holds[end - 1].press) --first;
    return first;
}

// The next hold to end among those begun up to lastPress: the latest press
// first, and within a press the first control that took it, as the controls
// would have finished one after another had each waited for the release.
HoldTarget* takeEndingHold(uint32_t lastPress) {
    const ThreadHolds& state = threadHolds;
    int end = state.count;
    while (end > 0 && state.holds[end - 1].press > lastPress) --end;
    if (end == 0) return nullptr;
    const int index = firstOfLastPress(end);
    HoldTarget* target = state.holds[index].target;
    removeHold(index);
    return target;
}

// The one place where holds end, whatever ended them. A control's end may
// run a program command and redraw the panel; a hold begun meanwhile belongs
// to a later press and lasts.
void endHolds() {
    const uint32_t lastPress = threadHolds.presses;
    while (HoldTarget* target = takeEndingHold(lastPress)) target->holdEnded();
}

// As a release would, without touching the capture, which may no longer be
// ours to release.
void forgetHeldButton() {
    mouseState.capturedButton = kNoButton;
    threadHolds.pressWindow = nullptr;
}

bool pressStillCaptured() {
    const HWND window = threadHolds.pressWindow;
    return window && IsWindow(window) && GetCapture() == window;
}

bool holdsIn(HWND window) {
    for (int i = 0; i < threadHolds.count; ++i) {
        if (threadHolds.holds[i].window == window) return true;
    }
    return false;
}

}  // namespace

PixelPoint getMousePosition() { return PixelPoint{mouseState.x, mouseState.y}; }

void beginHold(HoldTarget* target) {
    ThreadHolds& state = threadHolds;
    if (mouseState.capturedButton == kNoButton || state.count == ThreadHolds::kCapacity) {
        target->holdEnded();
        return;
    }
    Hold& hold = state.holds[state.count++];
    hold.target = target;
    hold.window = state.pressWindow;
    hold.press = state.presses;
}

void forgetHold(HoldTarget* target) {
    for (int i = threadHolds.count - 1; i >= 0; --i) {
        if (threadHolds.holds[i].target == target) removeHold(i);
    }
}

// The coordinates are signed 16-bit words: a captured drag that leaves the
// window to the left or above reports negative ones.
void recordMousePosition(LPARAM position) {
    mouseState.x = static_cast<int16_t>(static_cast<uint32_t>(position) & 0xFFFF);
    mouseState.y = static_cast<int16_t>((static_cast<uint32_t>(position) >> 16) & 0xFFFF);
}

// A press of either button while one is held takes over the code and the
// capture; the holds begun so far last until its release.
void recordButtonPress(HWND window, LPARAM position, int32_t button) {
    recordMousePosition(position);
    mouseState.capturedButton = button;
    threadHolds.pressWindow = window;
    ++threadHolds.presses;
    SetCapture(window);
}

// Only the release of the held button ends a hold.
void recordButtonRelease(int32_t button) {
    if (mouseState.capturedButton != button) return;
    forgetHeldButton();
    ReleaseCapture();
    endHolds();
}

// A host dialog, a switch to another program or the window's destruction
// takes the capture away in the middle of a hold: no release will come.
void recordCaptureLost(HWND window, HWND newOwner) {
    if (mouseState.capturedButton == kNoButton || window != threadHolds.pressWindow || newOwner == window) return;
    forgetHeldButton();
    endHolds();
}

// The controls of a window that goes may go with it: no hold may outlive it.
void recordWindowDestroyed(HWND window) {
    if (window != threadHolds.pressWindow && !holdsIn(window)) return;
    forgetHeldButton();
    endHolds();
}

// The moving control is the first that took the latest press still held.
// A capture that went without a word (its window is gone) ends the hold as
// a release would.
void continueHold() {
    if (threadHolds.count == 0) return;
    if (!pressStillCaptured()) {
        forgetHeldButton();
        endHolds();
        return;
    }
    threadHolds.holds[firstOfLastPress(threadHolds.count)].target->holdPass();
}
