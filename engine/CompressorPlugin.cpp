#include "engine/CompressorPlugin.h"

#include "host/ValueText.h"

CompressorPlugin::CompressorPlugin(audioMasterCallback audioMaster) : CompressorEffect(audioMaster) {
    setUniqueID(uniqueId);
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
