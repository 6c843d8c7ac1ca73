// The window class that carries the panel, the functions that create and
// destroy its windows and popups, and its window procedure, which turns
// painting, key and button messages into calls on the window's client.
//
// Window classes are registered for the plug-in's module (moduleInstance);
// without a module instance nothing is registered or created.
#pragma once

#include <windows.h>

#include "gui/PixelGeometry.h"
#include "gui/WindowClient.h"
#include "host/ThreadLock.h"

extern const char* const kGenericWindowClass;

// Creates a visible child of the generic class inside parent, with the
// client in its user data. The handle is written only when creation succeeds.
void createChildWindow(WindowClient* client, HWND parent, HWND* window, const PixelRect& rect);
// Creates a popup of the given class whose client area has the given screen
// rectangle. The result, null when creation fails, lands in *window.
void createPopupWindow(HWND owner, const PixelRect& clientRect, const char* title, HWND* window,
                       const char* className);
// Destroys the window on the thread that created it. Windows lets no other
// thread destroy it: from another thread the window is asked to close, by a
// message its own thread handles the next time it looks at its queue, and the
// caller never waits for that thread, which may be busy or gone.
BOOL destroyWindow(HWND window);
void registerWindowClass();
void unregisterWindowClass();
// Guards the editors' counts of window-class users and the registrations
// they lead to: hosts may run one user-interface thread per plug-in window.
// Taken only on user-interface threads, never on the audio path.
ThreadLock& windowClassLock();
// A window class of the plug-in's module with the arrow cursor and the
// button-face background, as all of the plug-in's windows have.
void registerModuleWindowClass(const char* className, WNDPROC procedure);
void unregisterModuleWindowClass(const char* className);
PixelPoint getScreenCentre();

// The client a window of the generic class calls, or null.
WindowClient* windowClientOf(HWND window);
void setWindowClient(HWND window, WindowClient* client);

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
