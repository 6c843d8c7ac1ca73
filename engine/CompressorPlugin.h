// The plug-in that the entry point hands to hosts: the compressor effect
// under its own identifier and names.
#pragma once

#include "ProductVersion.h"
#include "engine/CompressorEffect.h"

class CompressorPlugin : public CompressorEffect {
public:
    // Hosts tell plug-ins apart by this code, and find saved sessions by it.
    static constexpr int32_t uniqueId = fourCharCode("ZQ3R");
    // What hosts list: the plug-in by its name, from its vendor.
    static constexpr const char* effectName = ZQ3R_PRODUCT_NAME;
    static constexpr const char* vendorName = ZQ3R_VENDOR_NAME;

    explicit CompressorPlugin(audioMasterCallback audioMaster);
    ~CompressorPlugin() override;

    HostBool getEffectName(char* name) override;
    HostBool getVendorString(char* text) override;
    HostBool getProductString(char* text) override;
};
