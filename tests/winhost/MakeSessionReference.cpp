// Writes the reference output of the host session and the state chunks of
// the chunk session from the native library, for the Windows test host to
// compare the DLLs with.
//
//   make_session_reference <session file> <chunk file>
#include <dlfcn.h>

#include <cstdio>

#include "ChunkSession.h"
#include "HostSession.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_session_reference <session file> <chunk file>\n");
        return 2;
    }
    void* library = dlopen(ZQ3R_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "make_session_reference: %s\n", dlerror());
        return 1;
    }
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "VSTPluginMain"));
    SessionOutput output;
    ChunkOutput chunks;
    std::string problem = entry ? runSession(entry, output) : "the library exports no VSTPluginMain";
    if (problem.empty()) problem = runChunkSession(entry, chunks);
    if (problem.empty()) problem = writeReference(argv[1], output);
    if (problem.empty()) problem = writeChunkReference(argv[2], chunks);
    dlclose(library);
    if (!problem.empty()) {
        std::fprintf(stderr, "make_session_reference: %s\n", problem.c_str());
        return 1;
    }
    return 0;
}
