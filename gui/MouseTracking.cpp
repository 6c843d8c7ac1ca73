#include "gui/MouseTracking.h"

#include <atomic>

namespace {

struct Hold {
    HoldTarget* target = nullptr;
    HWND window = nullptr;  // the window whose press began it
    uint32_t press = 0;     // which of the thread's presses began it
};

// A thread's pointer and holds, the holds in the order they began: the holds
// of one press side by side, those of a press made during them after them. A
// handful at most in practice (two controls touch at one edge of the panel);
// a hold beyond the capacity ends as soon as it begins.
struct ThreadHolds {
    static constexpr int kCapacity = 16;
    MouseState mouse = {0, 0, kNoButton};
    Hold holds[kCapacity];
    int count = 0;
    uint32_t presses = 0;
    HWND pressWindow = nullptr;  // the window that took the press of the button now held
};

// Each thread that holds a button has a record of its own, as capture is a
// thread's own on Windows: hosts may give each editor a user-interface thread,
// and each may hold a knob at once. A thread claims a record with its press
// and gives it back once nothing is held, so that threads that come and go
// leave nothing behind. (Not thread_local: its runtime would tie the 32-bit
// DLL to a Windows newer than the one it must load on.)
class HoldingThreads {
public:
    // The calling thread's record, or null when it holds nothing.
    ThreadHolds* find() {
        const DWORD self = GetCurrentThreadId();
        for (int i = 0; i < kThreads; ++i) {
            if (owners[i].load(std::memory_order_relaxed) == self) return &records[i];
        }
        return nullptr;
    }

    // The calling thread's record, claimed when it has none; null when every
    // record is taken.
    ThreadHolds* claim() {
        if (ThreadHolds* own = find()) return own;
        const DWORD self = GetCurrentThreadId();
        for (int i = 0; i < kThreads; ++i) {
            DWORD free = 0;
            if (owners[i].compare_exchange_strong(free, self, std::memory_order_acquire)) return &records[i];
        }
        return nullptr;
    }

    // Gives the calling thread's record back once it holds nothing.
    void releaseIfIdle(ThreadHolds* record) {
        if (record->count != 0 || record->mouse.capturedButton != kNoButton) return;
        *record = ThreadHolds();
        owners[record - records].store(0, std::memory_order_release);
    }

private:
    static constexpr int kThreads = 64;
    std::atomic<DWORD> owners[kThreads] = {};
    ThreadHolds records[kThreads];
};

HoldingThreads holdingThreads;

void removeHold(ThreadHolds& state, int index) {
    for (int i = index + 1; i < state.count; ++i) state.holds[i - 1] = state.holds[i];
    --state.count;
}

// The first hold of the latest press among the holds [0, end).
int firstOfLastPress(const ThreadHolds& state, int end) {
    const Hold* holds = state.holds;
    int first = end - 1;
    while (first > 0 && holds[first - 1].press == holds[end - 1].press) --first;
    return first;
}

// The next hold to end among those begun up to lastPress: the latest press
// first, and within a press the first control that took it, as the controls
// would have finished one after another had each waited for the release.
HoldTarget* takeEndingHold(ThreadHolds& state, uint32_t lastPress) {
    int end = state.count;
    while (end > 0 && state.holds[end - 1].press > lastPress) --end;
    if (end == 0) return nullptr;
    const int index = firstOfLastPress(state, end);
    HoldTarget* target = state.holds[index].target;
    removeHold(state, index);
    return target;
}

// The one place where holds end, whatever ended them. A control's end may
// run a program command and redraw the panel; a hold begun meanwhile belongs
// to a later press and lasts.
void endHolds(ThreadHolds& state) {
    const uint32_t lastPress = state.presses;
    while (HoldTarget* target = takeEndingHold(state, lastPress)) target->holdEnded();
    holdingThreads.releaseIfIdle(&state);
}

// As a release would, without touching the capture, which may no longer be
// ours to release.
void forgetHeldButton(ThreadHolds& state) {
    state.mouse.capturedButton = kNoButton;
    state.pressWindow = nullptr;
}

bool pressStillCaptured(const ThreadHolds& state) {
    const HWND window = state.pressWindow;
    return window && IsWindow(window) && GetCapture() == window;
}

bool holdsIn(const ThreadHolds& state, HWND window) {
    for (int i = 0; i < state.count; ++i) {
        if (state.holds[i].window == window) return true;
    }
    return false;
}

}  // namespace

MouseState currentMouseState() {
    const ThreadHolds* state = holdingThreads.find();
    return state ? state->mouse : MouseState{0, 0, kNoButton};
}

PixelPoint getMousePosition() {
    const MouseState mouse = currentMouseState();
    return PixelPoint{mouse.x, mouse.y};
}

void beginHold(HoldTarget* target) {
    ThreadHolds* state = holdingThreads.find();
    if (!state || state->mouse.capturedButton == kNoButton || state->count == ThreadHolds::kCapacity) {
        target->holdEnded();
        return;
    }
    Hold& hold = state->holds[state->count++];
    hold.target = target;
    hold.window = state->pressWindow;
    hold.press = state->presses;
}

void forgetHold(HoldTarget* target) {
    ThreadHolds* state = holdingThreads.find();
    if (!state) return;
    for (int i = state->count - 1; i >= 0; --i) {
        if (state->holds[i].target == target) removeHold(*state, i);
    }
    holdingThreads.releaseIfIdle(state);
}

// The coordinates are signed 16-bit words: a captured drag that leaves the
// window to the left or above reports negative ones.
PixelPoint pointOfMessage(LPARAM position) {
    return PixelPoint{static_cast<int16_t>(static_cast<uint32_t>(position) & 0xFFFF),
                      static_cast<int16_t>((static_cast<uint32_t>(position) >> 16) & 0xFFFF)};
}

// Only a thread that holds a button keeps the pointer: nothing reads it
// between holds.
void recordMousePosition(LPARAM position) {
    ThreadHolds* state = holdingThreads.find();
    if (!state) return;
    const PixelPoint point = pointOfMessage(position);
    state->mouse.x = point.x;
    state->mouse.y = point.y;
}

// A press of either button while one is held takes over the code and the
// capture; the holds begun so far last until its release. Should every
// record be taken, the press still captures, and no control holds.
void recordButtonPress(HWND window, LPARAM position, int32_t button) {
    if (ThreadHolds* state = holdingThreads.claim()) {
        const PixelPoint point = pointOfMessage(position);
        state->mouse = MouseState{point.x, point.y, button};
        state->pressWindow = window;
        ++state->presses;
    }
    SetCapture(window);
}

// Only the release of the held button ends a hold.
void recordButtonRelease(int32_t button) {
    ThreadHolds* state = holdingThreads.find();
    if (!state || state->mouse.capturedButton != button) return;
    forgetHeldButton(*state);
    ReleaseCapture();
    endHolds(*state);
}

// A host dialog, a switch to another program or the window's destruction
// takes the capture away in the middle of a hold: no release will come.
void recordCaptureLost(HWND window, HWND newOwner) {
    ThreadHolds* state = holdingThreads.find();
    if (!state || state->mouse.capturedButton == kNoButton || window != state->pressWindow || newOwner == window) {
        return;
    }
    forgetHeldButton(*state);
    endHolds(*state);
}

// The controls of a window that goes may go with it: no hold may outlive it.
void recordWindowDestroyed(HWND window) {
    ThreadHolds* state = holdingThreads.find();
    if (!state || (window != state->pressWindow && !holdsIn(*state, window))) return;
    forgetHeldButton(*state);
    endHolds(*state);
}

// The moving control is the first that took the latest press still held.
// A capture that went without a word (its window is gone) ends the hold as
// a release would.
void continueHold() {
    ThreadHolds* state = holdingThreads.find();
    if (!state || state->count == 0) return;
    if (!pressStillCaptured(*state)) {
        forgetHeldButton(*state);
        endHolds(*state);
        return;
    }
    state->holds[firstOfLastPress(*state, state->count)].target->holdPass();
}
