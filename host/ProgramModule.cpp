// A program that carries the plug-in's code (a test, a tool) is the plug-in's
// module: at start-up it receives the attach notification that a library
// receives from its loader, with the program's own bitmaps, and the detach at
// exit. Only these lines know which target they are built for.
#include "host/ModuleInstance.h"

#ifndef _WIN32
#include "resources/EmbeddedBitmaps.h"
#endif

namespace {

class ProgramModule {
public:
    ProgramModule() {
#ifdef _WIN32
        onLoaderNotification(GetModuleHandleA(nullptr), DLL_PROCESS_ATTACH);
#else
        onLoaderNotification(registerModule(embeddedBitmaps, embeddedBitmapCount), DLL_PROCESS_ATTACH);
#endif
    }

    ~ProgramModule() {
        HINSTANCE module = moduleInstance;
        onLoaderNotification(module, DLL_PROCESS_DETACH);
#ifndef _WIN32
        unregisterModule(module);
#endif
    }
};

ProgramModule programModule;

}  // namespace
