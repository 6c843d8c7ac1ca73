// The module table: which modules are loaded and which bitmaps they carry.
#include "PlatformModule.h"
#include "ProgramModule.h"
#include "System.h"

#include <mutex>
#include <type_traits>
#include <vector>

using namespace platform;

namespace {

struct Module {
    HINSTANCE handle;
    const EmbeddedBitmap* bitmaps;
    size_t count;
};

// A library's unload hook may run among the process's exit handlers, after
// every static object with a destructor has gone: nothing here has one. The
// table lives from the first module's registration to the last one's
// removal, so that unloading the last library frees it.
std::mutex tableMutex;
static_assert(std::is_trivially_destructible<std::mutex>::value, "the table's lock must outlive exit handlers");
std::vector<Module>* modules = nullptr;
uintptr_t nextHandle = 0x10000;

}  // namespace

HINSTANCE registerModule(const EmbeddedBitmap* bitmaps, size_t count) {
    std::lock_guard<std::mutex> lock(tableMutex);
    if (!modules) modules = new std::vector<Module>;
    HINSTANCE handle = reinterpret_cast<HINSTANCE>(nextHandle);
    nextHandle += 0x10000;
    modules->push_back(Module{handle, bitmaps, bitmaps ? count : 0});
    return handle;
}

void unregisterModule(HINSTANCE module) {
    std::lock_guard<std::mutex> lock(tableMutex);
    if (!modules) return;
    for (auto it = modules->begin(); it != modules->end(); ++it) {
        if (it->handle == module) {
            modules->erase(it);
            break;
        }
    }
    if (modules->empty()) {
        delete modules;
        modules = nullptr;
    }
}

const EmbeddedBitmap* findModuleBitmap(HINSTANCE module, int id) {
    std::lock_guard<std::mutex> lock(tableMutex);
    if (!modules) return nullptr;
    for (const Module& entry : *modules) {
        if (entry.handle != module) continue;
        for (size_t i = 0; i < entry.count; ++i) {
            if (entry.bitmaps[i].id == id) return &entry.bitmaps[i];
        }
    }
    return nullptr;
}

HINSTANCE platform::programModuleHandle() {
    static HINSTANCE program = registerModule(nullptr, 0);
    return program;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    // Modules have no names here: only the program's own module can be asked for.
    if (moduleName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return programModuleHandle();
}

void releaseWindowSystem() { System::release(); }
