#include "host/ModuleInstance.h"

HINSTANCE moduleInstance = nullptr;
int16_t creationFailed = 0;

// Threads come and go without concern to us; only the module's own arrival
// and departure matter.
void onLoaderNotification(HINSTANCE instance, DWORD reason) {
    if (reason == DLL_PROCESS_ATTACH)
        moduleInstance = instance;
    else if (reason == DLL_PROCESS_DETACH)
        moduleInstance = nullptr;
}
