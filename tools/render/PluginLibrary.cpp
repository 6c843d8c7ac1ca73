#include "tools/render/PluginLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "host/PluginEntry.h"

PluginLibrary::~PluginLibrary() {
    if (handle != nullptr) dlclose(handle);
}

void PluginLibrary::useLinkedPlugin() {
    entryPoint = &pluginMain;
    displayName = "ZQ3R Compressor (linked in)";
}

bool PluginLibrary::load(const std::string& path, std::string& error) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        error = errno == ENOENT ? "plug-in '" + path + "' does not exist"
                                : "cannot read plug-in '" + path + "': " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        error = "plug-in '" + path + "' is a folder, not a library";
        return false;
    }
    // A bare name would make dlopen search the system's library path; the
    // user means the file they named.
    const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    handle = dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = "cannot load plug-in '" + path + "': " + (reason ? reason : "unknown reason");
        return false;
    }
    void* symbol = dlsym(handle, "VSTPluginMain");
    if (symbol == nullptr) symbol = dlsym(handle, "main");
    if (symbol == nullptr) {
        error = "'" + path + "' is not a VST plug-in: it has no entry point (VSTPluginMain or main)";
        return false;
    }
    entryPoint = reinterpret_cast<PluginEntryProc>(symbol);
    displayName = path;
    return true;
}
