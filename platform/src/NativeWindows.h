// Our windows' native twins: a child of a window that has a twin gets one
// too, and so does a top-level window whose owner has one (the host's window
// for the windows under it). Drawing only marks what changed; the owning
// thread shows it, and turns the twins' input into window messages, whenever
// it looks at its queue.
#pragma once

#include "MessageQueue.h"
#include "System.h"

namespace platform {

namespace NativeWindows {

// These expect the system lock held and call no backend.
void setTwin(System& system, Window& window, NativeWindow twin);
// The surface changed within rect (client coordinates).
void markChanged(Window& window, const RECT& rect);
// The window is being removed: its twin goes once the lock is free.
void retire(System& system, Window& window);
bool ownsTwins(const System& system, const MessageQueue& queue);
Window* windowOfTwin(const System& system, NativeWindow twin);

// These take the lock themselves and call the backend without it.
void mirrorNewWindow(HWND window);
void showTwin(HWND window, bool shown);
void grabPointer(HWND window);
void releasePointer(HWND window);
// For the calling thread: input becomes messages, changed pixels are shown,
// and windows the host destroyed go.
void service();
void pushChangedPixels(const MessageQueue& queue);
// Destroys retired twins, lets go of host windows with nothing of ours left
// in them and, when nothing is left on the host's display, closes it.
void settle();
// For a thread with twins: waits a little for input.
void waitForInput(int milliseconds);

}  // namespace NativeWindows

}  // namespace platform
