// Delivery of messages to window procedures, shared by the message
// functions, window creation and destruction, and painting.
#pragma once

#include "MessageQueue.h"
#include "System.h"

namespace platform {

// Calls the window's procedure. For a window of another thread the message
// waits in that thread's queue until the thread next looks at its queue
// (GetMessageA, PeekMessageA or a SendMessageA of its own), and this thread
// waits for the answer meanwhile, answering messages sent to it. 0 when the
// window does not exist or its thread ends first.
LRESULT deliverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the messages other threads have sent to this thread's windows. Takes
// the held lock and gives it up while each procedure runs.
void receiveSentMessages(System& system, MessageQueue& queue, SystemLock& lock);

}  // namespace platform
