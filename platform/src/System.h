// The state of the headless window system: windows, classes, drawing
// objects and queues, all behind one lock. The lock is held only for short
// bookkeeping and pixel copies, never while a window procedure runs, so a
// procedure may call back into any function.
#pragma once

#include "GdiObjects.h"
#include "HandleTable.h"
#include "Window.h"
#include "WindowBackend.h"

#include <mutex>
#include <vector>

namespace platform {

class System {
public:
    static System& instance();
    // Whether the system exists (it is gone once a library that carries it
    // has been unloaded).
    static bool exists();
    // Frees every window, class, object and the system itself.
    static void release();

    std::mutex mutex;
    HandleTable<Window> windows{65535};
    std::vector<HWND> topLevelWindows;  // in z-order, topmost first
    std::vector<std::unique_ptr<WindowClass>> classes;
    std::vector<std::string> atomNames;  // atom 0xC000 + i names atomNames[i]
    HandleTable<GdiObject> gdiObjects{10000};

    Window* window(HWND handle) const {
        return windows.find(reinterpret_cast<uintptr_t>(handle), HandleKind::window);
    }
    DeviceContext* deviceContext(HDC handle) const {
        return static_cast<DeviceContext*>(
            gdiObjects.find(reinterpret_cast<uintptr_t>(handle), HandleKind::deviceContext));
    }
    BitmapObject* bitmap(HGDIOBJ handle) const {
        return static_cast<BitmapObject*>(
            gdiObjects.find(reinterpret_cast<uintptr_t>(handle), HandleKind::bitmap));
    }
    BrushObject* brush(HGDIOBJ handle) const {
        return static_cast<BrushObject*>(
            gdiObjects.find(reinterpret_cast<uintptr_t>(handle), HandleKind::brush));
    }
    HGDIOBJ addGdiObject(HandleKind kind, std::unique_ptr<GdiObject> object) {
        return reinterpret_cast<HGDIOBJ>(gdiObjects.add(kind, std::move(object)));
    }

    // Objects that exist from the start and are never deleted.
    HGDIOBJ stockBitmap = nullptr;
    HGDIOBJ stockBrushes[6] = {};
    HGDIOBJ systemColourBrushes[31] = {};
    // The cursors Windows provides without a module, by resource id.
    static constexpr int systemCursorIds[14] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                                32644, 32645, 32646, 32648, 32649, 32650, 32651};
    HCURSOR systemCursors[14] = {};

    // Answers for every thread without windows on a host's display; it has
    // no state, so any thread may use it at any time.
    const std::unique_ptr<WindowBackend> headless;
    // Each thread with windows on a host's display talks to it through a
    // connection of its own, opened at its first adoption and closed when
    // it has nothing left there or ends: the server sends each thread the
    // events of its own windows only, and a thread uses no connection but
    // its own. Only the owning thread adds or removes its entry (and the
    // release of the whole system), so it may use its backend after giving
    // up the lock.
    struct HostDisplay {
        const MessageQueue* queue;
        std::unique_ptr<WindowBackend> backend;
    };
    std::vector<HostDisplay> hostDisplays;
    // The thread's connection, or null.
    WindowBackend* hostDisplayOf(const MessageQueue& queue) const;
    // Windows with a native twin, the host's windows among them.
    std::vector<HWND> twinned;
    // Twins of removed windows, until the owning thread destroys them (or,
    // for a host's window, stops listening to it).
    struct RetiredTwin {
        NativeWindow window;
        bool hostWindow;
        const MessageQueue* queue;
    };
    std::vector<RetiredTwin> retiredTwins;
    // The class of the windows hosts hand us: no procedure of ours runs for them.
    WindowClass hostWindowClass;

private:
    System();
    static System*& slot();
};

using SystemLock = std::unique_lock<std::mutex>;

// Millisecond clock for message times, like GetTickCount.
DWORD messageTime();

}  // namespace platform
