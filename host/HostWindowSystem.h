// How the editor opcodes meet the host's windows. On Windows the host hands
// effEditOpen an HWND and runs the message loop that serves our windows, on
// whichever thread it calls the editor opcodes from, so the defaults only
// cast the pointer and do nothing more. A library built for another window
// system installs its own when it is loaded (the native library: the host's
// X11 window id, and a service run from effEditIdle, since Linux hosts run
// no loop of ours; only the thread that opened the editor serves its
// windows there).
#pragma once

#include <windows.h>

struct HostWindowSystem {
    // The window effEditOpen's pointer names; false when it names none the
    // editor can open in.
    bool (*windowOf)(void* hostWindow, HWND* window);
    // Whether the calling thread serves the editor's windows in window.
    bool (*servedHere)(HWND window);
    // Runs on the host's user-interface thread after effEditOpen,
    // effEditIdle and effEditClose.
    void (*service)();
};

const HostWindowSystem& hostWindowSystem();
void installHostWindowSystem(const HostWindowSystem& windowSystem);
