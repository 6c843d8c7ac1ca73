#include "engine/CompressorPlugin.h"

CompressorPlugin::CompressorPlugin(audioMasterCallback audioMaster) : CompressorEffect(audioMaster) {
    setUniqueID(uniqueId);
}

CompressorPlugin::~CompressorPlugin() {}
