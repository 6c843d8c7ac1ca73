// The library as hosts load it: its exported entry points and its loader
// hooks. Only these lines know which target they are built for.
//
// The 32-bit DLL's code is built for processors with SSE2, and these lines
// run first: in that DLL this file alone is built without SSE (see
// cmake/PluginTargets.cmake), so that on an older processor the library
// loads, refuses every instance and unloads without executing an instruction
// the processor lacks. Keep it to declarations of the plug-in's code: an
// inline function defined here could be the copy the linker keeps for all.
#include "editor/CompressorPanel.h"
#include "host/ModuleInstance.h"
#include "host/PluginEntry.h"

#ifndef _WIN32
#include "host/EffectBase.h"
#include "host/HostWindowSystem.h"
#include "resources/EmbeddedBitmaps.h"

#include <ForeignWindows.h>
#endif

// C++ reserves the name `main` for programs, so the exported function has
// another name in the code and the plain C symbol `main` in the library
// (`_main` where C symbols carry a leading underscore, as on 32-bit Windows).
#define ZQ3R_STRINGIFY_VALUE(x) #x
#define ZQ3R_STRINGIFY(x) ZQ3R_STRINGIFY_VALUE(x)
extern "C" AEffect* exportedMain(audioMasterCallback audioMaster) __asm__(ZQ3R_STRINGIFY(__USER_LABEL_PREFIX__) "main");

#ifdef _WIN32
// The system knows whether both the processor and the system itself
// support SSE2.
static bool processorRunsPlugin() { return IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0; }
#else
// Built for the processor it runs on.
static bool processorRunsPlugin() { return true; }
#endif

// Without SSE2 no instance can run: null, as for any instance that cannot
// be built.
static AEffect* createInstance(audioMasterCallback audioMaster) {
    if (!processorRunsPlugin()) return nullptr;
    return pluginMain(audioMaster);
}

extern "C" AEffect* exportedMain(audioMasterCallback audioMaster) { return createInstance(audioMaster); }

// The name that hosts of today look for first.
extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster) { return createInstance(audioMaster); }

#ifdef _WIN32

// Unloaded by FreeLibrary (not at process exit, where reserved is set), the
// library takes its window classes with it: their procedures lie in its image.
// On a processor without SSE2 nothing of ours runs, here either.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (!processorRunsPlugin()) return TRUE;
    if (reason == DLL_PROCESS_DETACH && !reserved) unregisterEditorWindowClasses();
    onLoaderNotification(instance, reason);
    return TRUE;
}

#else

// Linux hosts hand effEditOpen an X11 window id and run no message loop of
// ours: the window system adopts the id on the calling thread, which alone
// serves the windows in it, from effEditIdle.
static bool adoptHostWindow(void* hostWindow, HWND* window) {
    *window = adoptForeignWindow(reinterpret_cast<uintptr_t>(hostWindow));
    return *window != nullptr;
}

static bool adoptedHere(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

// The window system learns of the library's bitmaps when it is loaded and
// forgets them when it is unloaded, after the detach has run. The window
// system is the library's own copy: it goes with the library, unless an
// instance still lives. A host that returns from main without closing its
// instances runs this among the process's exit handlers while its audio
// thread may still draw the meter through the window system: then it stays
// for the process's last moments.
__attribute__((constructor)) static void attachLibrary() {
    installHostWindowSystem(HostWindowSystem{adoptHostWindow, adoptedHere, serviceForeignWindows});
    onLoaderNotification(registerModule(embeddedBitmaps, embeddedBitmapCount), DLL_PROCESS_ATTACH);
}

__attribute__((destructor)) static void detachLibrary() {
    HINSTANCE module = moduleInstance;
    unregisterEditorWindowClasses();
    onLoaderNotification(module, DLL_PROCESS_DETACH);
    unregisterModule(module);
    if (EffectBase::liveInstances() == 0) releaseWindowSystem();
}

#endif
