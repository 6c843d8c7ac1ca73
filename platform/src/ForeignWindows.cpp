// The windows hosts hand us, and the service hosts give the windows inside
// them in place of our message loop.
#include "ForeignWindows.h"

#include "NativeWindows.h"
#include "WindowTree.h"

#include <climits>

using namespace platform;

namespace {

// Enough for a burst of input and the paints it causes; a procedure that
// keeps posting to itself cannot hold the host's thread for ever.
constexpr int messagesPerService = 1000;

HWND knownHostWindow(const System& system, NativeWindow twin) {
    const Window* window = NativeWindows::windowOfTwin(system, currentQueue(), twin);
    return window && window->hostWindow ? window->handle : nullptr;
}

// A visible top-level window without a procedure of ours and without
// pixels: the host draws it.
HWND addHostWindow(System& system, NativeWindow twin, const RECT& onScreen) {
    std::unique_ptr<Window> window(new Window);
    window->windowClass = &system.hostWindowClass;
    window->queue = &currentQueue();
    window->procedure = system.hostWindowClass.procedure;
    window->style = WS_VISIBLE | WS_CLIPCHILDREN;
    window->rect = onScreen;
    window->client = RECT{0, 0, onScreen.right - onScreen.left, onScreen.bottom - onScreen.top};
    window->hostWindow = true;
    Window* record = window.get();
    HWND handle = reinterpret_cast<HWND>(system.windows.add(HandleKind::window, std::move(window)));
    if (!handle) return nullptr;
    record->handle = handle;
    ++system.hostWindowClass.windowCount;
    system.topLevelWindows.push_back(handle);
    NativeWindows::setTwin(system, *record, twin);
    return handle;
}

// A host's window that other threads adopted before: the editor in it is
// moving to the calling thread, so their windows in it, and the top-level
// windows those own (the about box), leave the display at once. Their
// records stay, without twins, until their own threads destroy them, as
// Windows wants. Expects the lock held; returns the twins to destroy (their
// descendants on the display go with them).
std::vector<NativeWindow> withdrawOtherThreads(System& system, NativeWindow twin) {
    std::vector<HWND> roots;
    for (HWND handle : system.twinned) {
        const Window* window = system.window(handle);
        if (!window || !window->hostWindow || window->twin != twin || window->queue == &currentQueue()) continue;
        roots.insert(roots.end(), window->children.begin(), window->children.end());
        for (HWND top : system.topLevelWindows) {
            if (system.window(top)->owner == handle) roots.push_back(top);
        }
    }
    std::vector<NativeWindow> twins;
    for (HWND root : roots) {
        if (NativeWindow rootTwin = system.window(root)->twin) twins.push_back(rootTwin);
        std::vector<HWND> members;
        WindowTree::collectPreOrder(system, root, members);
        for (HWND member : members) NativeWindows::setTwin(system, *system.window(member), 0);
    }
    return twins;
}

// The editors that opened into the calling thread's host windows have done
// so: from now on a host window with nothing of ours in it is let go.
void endAdoptions() {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    for (HWND handle : system.twinned) {
        Window* window = system.window(handle);
        if (window && window->hostWindow && window->queue == &currentQueue()) window->adopting = false;
    }
}

}  // namespace

HWND adoptForeignWindow(uintptr_t nativeWindow) {
    if (nativeWindow == 0 || nativeWindow > UINT32_MAX) return nullptr;
    const NativeWindow twin = NativeWindow(nativeWindow);
    // A host window destroyed since the last look must not be found again,
    // and what threads that ended left on the display goes first.
    NativeWindows::service();
    NativeWindows::settle();
    System& system = System::instance();
    WindowBackend* display = NativeWindows::connectCallingThread();
    if (!display) return nullptr;
    RECT onScreen;
    HWND handle = nullptr;
    std::vector<NativeWindow> withdrawn;
    if (display->adoptForeign(twin, &onScreen)) {
        NativeWindows::useScreenOf(*display);
        SystemLock lock(system.mutex);
        handle = knownHostWindow(system, twin);
        if (!handle) handle = addHostWindow(system, twin, onScreen);
        if (handle) system.window(handle)->adopting = true;
        withdrawn = withdrawOtherThreads(system, twin);
    }
    // Any connection may destroy any window of the display.
    for (NativeWindow other : withdrawn) display->destroyWindow(other);
    // Nothing adopted: the display closes again if nothing else is on it.
    if (!handle) NativeWindows::settle();
    return handle;
}

void serviceForeignWindows() {
    MSG message;
    for (int i = 0; i < messagesPerService && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    NativeWindows::service();
    endAdoptions();
    NativeWindows::settle();
}

uintptr_t nativeWindowOf(HWND handle) {
    System& system = System::instance();
    SystemLock lock(system.mutex);
    const Window* window = system.window(handle);
    return window ? window->twin : 0;
}
