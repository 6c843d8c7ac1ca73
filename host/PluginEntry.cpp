#include "host/PluginEntry.h"

#include "engine/Allocation.h"
#include "engine/CompressorPlugin.h"
#include "host/ModuleInstance.h"

AEffect* pluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;

    CompressorPlugin* plugin = allocateObject<CompressorPlugin>(audioMaster);
    if (!plugin) return nullptr;
    if (creationFailed) {
        delete plugin;
        return nullptr;
    }
    return plugin->getEffectRecord();
}
