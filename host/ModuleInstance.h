// Process-wide state of the plug-in module: the handle through which bitmaps
// are loaded and window classes registered, and the flag that tells the
// entry point that an instance could not be built completely.
#pragma once

#include <windows.h>

#include <cstdint>

// Set while the module is loaded; null before and after. The GUI does
// nothing while it is null.
extern HINSTANCE moduleInstance;

// Set when an allocation fails while an instance is being built. Never
// cleared: from then on the entry point hands no host a record.
extern int16_t creationFailed;

// What the loader's attach and detach notifications do, whichever way the
// module is loaded (DllMain, a shared library's load hook, a program's
// start-up).
void onLoaderNotification(HINSTANCE instance, DWORD reason);
