// A minimal host that many real hosts resemble at exit: it loads the library,
// builds and closes an instance, and returns from main without unloading the
// library. The library's unload hook then runs among the process's own exit
// handlers; under the address sanitizer anything it touches that has already
// been destroyed fails the run.
//
//   host_exit_with_library_loaded <library>
#include <dlfcn.h>

#include <cstdio>

#include "host/AEffect.h"

namespace {

intptr_t answerVersion(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <library>\n", argv[0]);
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "cannot load %s: %s\n", argv[1], dlerror());
        return 1;
    }
    using EntryPoint = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    AEffect* record = entry ? entry(answerVersion) : nullptr;
    if (!record) {
        std::fprintf(stderr, "no record from the entry point\n");
        return 1;
    }
    record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
