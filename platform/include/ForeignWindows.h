// Windows of a real window system, handed to us by a host: a library that
// runs inside a host's process opens its editor in the host's window (on
// Linux an X11 window id). Windows created inside it, and top-level windows
// it owns, then appear on the host's display; all others stay headless.
#pragma once

#include <windows.h>

#include <cstdint>

// The host's window as a window of ours, to create child windows in; the
// same handle again for the same window. Null when the value names no live
// window or no display can be reached. Call it on the thread that will own
// the windows inside.
HWND adoptForeignWindow(uintptr_t nativeWindow);

// The native window that shows one of our windows on the host's display (an
// X11 id), for hosts that ask for the editor's own window; 0 while it has
// none. Call it after a service has shown the window.
uintptr_t nativeWindowOf(HWND window);

// For hosts that do not run our message loop, on the thread that adopted
// the window: reads the display's input, dispatches every message waiting in
// the thread's queue, shows what changed, and lets go of host windows that
// nothing of ours is left in.
void serviceForeignWindows();
