// Our windows' native twins: a child of a window that has a twin gets one
// too, and so does a top-level window whose owner has one (the host's window
// for the windows under it). Drawing only marks what changed; the owning
// thread shows it, and turns the twins' input into window messages, whenever
// it looks at its queue.
//
// Every twin lives on the connection of the thread that owns its window,
// and only that thread makes X calls for it: the functions that call a
// backend use the calling thread's own and touch only its windows.
#pragma once

#include "MessageQueue.h"
#include "System.h"

#include <memory>

namespace platform {

namespace NativeWindows {

// These expect the system lock held and call no backend.
void setTwin(System& system, Window& window, NativeWindow twin);
// The surface changed within rect (client coordinates).
void markChanged(Window& window, const RECT& rect);
// The window is being removed: its twin goes once its thread settles.
void retire(System& system, Window& window);
bool ownsTwins(const System& system, const MessageQueue& queue);
// The thread's window with this twin, or null.
Window* windowOfTwin(const System& system, const MessageQueue& queue, NativeWindow twin);
// The thread's connection, handed over to be closed once the lock is free
// (which takes its twins and grab along); its retired twins are forgotten.
std::unique_ptr<WindowBackend> takeConnection(System& system, const MessageQueue& queue);

// These take the lock themselves and call the backend without it.
void mirrorNewWindow(HWND window);
// Maps or unmaps the twin to follow the window's visibility: at once on
// the owning thread, otherwise when that thread next looks at its queue.
void showTwin(HWND window);
void grabPointer(HWND window);
void releasePointer(HWND window);
// For the calling thread: input becomes messages, changed pixels are shown,
// and windows the host destroyed go.
void service();
void pushChangedPixels(const MessageQueue& queue);
// Destroys the calling thread's retired twins, lets go of its host windows
// with nothing of ours left in them and, when it has nothing left on the
// host's display, closes its connection.
void settle();
// For a thread with twins: waits a little for input.
void waitForInput(int milliseconds);
// The size of the screen the calling thread's host window is on, or the
// headless screen's.
SIZE screenSize();

// For the adoption of host windows on the calling thread.
WindowBackend* connectCallingThread();
void useScreenOf(WindowBackend& display);

}  // namespace NativeWindows

}  // namespace platform
