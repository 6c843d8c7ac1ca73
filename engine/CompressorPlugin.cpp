#include "engine/CompressorPlugin.h"

#include "ProductVersion.h"

CompressorPlugin::CompressorPlugin(audioMasterCallback audioMaster) : CompressorEffect(audioMaster) {
    setUniqueID(uniqueId);
    // The product's release, which hosts show and write into the presets
    // they save; the chunk's format carries its own version.
    effectRecord.version = ZQ3R_VERSION_CODE;
}

CompressorPlugin::~CompressorPlugin() {}
