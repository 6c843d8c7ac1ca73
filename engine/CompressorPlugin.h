// The plug-in that the entry point hands to hosts: the compressor effect
// under its own identifier.
#pragma once

#include "engine/CompressorEffect.h"

class CompressorPlugin : public CompressorEffect {
public:
    // Hosts tell plug-ins apart by this code.
    static constexpr int32_t uniqueId = fourCharCode("ZQ3R");

    explicit CompressorPlugin(audioMasterCallback audioMaster);
    ~CompressorPlugin() override;
};
