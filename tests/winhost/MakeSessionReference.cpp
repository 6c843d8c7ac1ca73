// Writes the reference output of the host session from the native library,
// for the Windows test host to compare the DLLs with.
//
//   make_session_reference <output file>
#include <dlfcn.h>

#include <cstdio>

#include "HostSession.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_session_reference <output file>\n");
        return 2;
    }
    void* library = dlopen(ZQ3R_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "make_session_reference: %s\n", dlerror());
        return 1;
    }
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    SessionOutput output;
    std::string problem = entry ? runSession(entry, output) : "the library exports no VSTPluginMain";
    if (problem.empty()) problem = writeReference(argv[1], output);
    dlclose(library);
    if (!problem.empty()) {
        std::fprintf(stderr, "make_session_reference: %s\n", problem.c_str());
        return 1;
    }
    return 0;
}
