// Where the plug-in's entry point comes from: the ZQ3R Compressor linked into
// this program, or a VST plug-in library opened with dlopen. Either way the
// renderer reaches the plug-in only through that entry point and its record.
#pragma once

#include <string>

#include "host/AEffect.h"

using PluginEntryProc = AEffect* (*)(audioMasterCallback audioMaster);

class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();  // unloads a loaded library
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // The plug-in built into this program.
    void useLinkedPlugin();
    // Loads `path` and finds VSTPluginMain, else main.
    bool load(const std::string& path, std::string& error);

    PluginEntryProc entry() const { return entryPoint; }
    // "ZQ3R Compressor (linked in)" or the library's path.
    const std::string& name() const { return displayName; }

private:
    void* handle = nullptr;
    PluginEntryProc entryPoint = nullptr;
    std::string displayName;
};
