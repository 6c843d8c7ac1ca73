#include "engine/CompressorPlugin.h"

#include "host/ValueText.h"

CompressorPlugin::CompressorPlugin(audioMasterCallback audioMaster) : CompressorEffect(audioMaster) {
    setUniqueID(uniqueId);
    // The product's release, which hosts show and write into the presets
    // they save; the chunk's format carries its own version.
    effectRecord.version = ZQ3R_VERSION_CODE;
}

CompressorPlugin::~CompressorPlugin() {}

HostBool CompressorPlugin::getEffectName(char* name) {
    copyHostText(effectName, name, kEffectNameSize);
    return 1;
}

HostBool CompressorPlugin::getVendorString(char* text) {
    copyHostText(vendorName, text, kVendorStringSize);
    return 1;
}

// The product is the effect itself.
HostBool CompressorPlugin::getProductString(char* text) {
    copyHostText(effectName, text, kProductStringSize);
    return 1;
}
