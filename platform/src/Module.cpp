// The module table: which modules are loaded and which bitmaps they carry.
#include "PlatformModule.h"
#include "ProgramModule.h"
#include "System.h"

#include <mutex>
#include <vector>

using namespace platform;

namespace {

struct Module {
    HINSTANCE handle;
    const EmbeddedBitmap* bitmaps;
    size_t count;
};

struct ModuleTable {
    std::mutex mutex;
    std::vector<Module> modules;
    uintptr_t nextHandle = 0x10000;
};

ModuleTable& moduleTable() {
    static ModuleTable table;
    return table;
}

}  // namespace

HINSTANCE registerModule(const EmbeddedBitmap* bitmaps, size_t count) {
    ModuleTable& table = moduleTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    HINSTANCE handle = reinterpret_cast<HINSTANCE>(table.nextHandle);
    table.nextHandle += 0x10000;
    table.modules.push_back(Module{handle, bitmaps, bitmaps ? count : 0});
    return handle;
}

void unregisterModule(HINSTANCE module) {
    ModuleTable& table = moduleTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (auto it = table.modules.begin(); it != table.modules.end(); ++it) {
        if (it->handle == module) {
            table.modules.erase(it);
            return;
        }
    }
}

const EmbeddedBitmap* findModuleBitmap(HINSTANCE module, int id) {
    ModuleTable& table = moduleTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (const Module& entry : table.modules) {
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
