#include "host/HostWindowSystem.h"

namespace {

bool castToWindow(void* hostWindow, HWND* window) {
    *window = static_cast<HWND>(hostWindow);
    return true;
}

bool servedByAnyThread(HWND) { return true; }

void serveNothing() {}

HostWindowSystem installed = {castToWindow, servedByAnyThread, serveNothing};

}  // namespace

const HostWindowSystem& hostWindowSystem() { return installed; }

void installHostWindowSystem(const HostWindowSystem& windowSystem) { installed = windowSystem; }
