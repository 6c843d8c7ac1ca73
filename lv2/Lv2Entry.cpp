// The plug-in library's one exported name, and the calls an LV2 host makes
// through the descriptor it returns.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "engine/Allocation.h"
#include "lv2/CompressorLv2.h"
#include "lv2/Lv2Uris.h"

namespace {

CompressorLv2* compressorOf(LV2_Handle instance) { return static_cast<CompressorLv2*>(instance); }

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features) {
    if (!(sampleRate > 0.0)) return nullptr;
    CompressorLv2* compressor = allocateObject<CompressorLv2>(sampleRate, features);
    if (compressor && !compressor->isComplete()) {
        delete compressor;
        return nullptr;
    }
    return compressor;
}

void connectPort(LV2_Handle instance, uint32_t port, void* data) { compressorOf(instance)->connectPort(port, data); }

void activate(LV2_Handle) {}

void run(LV2_Handle instance, uint32_t frames) { compressorOf(instance)->run(frames); }

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) { delete compressorOf(instance); }

LV2_State_Status saveState(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                           const LV2_Feature* const*) {
    return compressorOf(instance)->save(store, handle);
}

LV2_State_Status restoreState(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                              uint32_t, const LV2_Feature* const*) {
    return compressorOf(instance)->restore(retrieve, handle);
}

const LV2_State_Interface stateInterface = {saveState, restoreState};

const void* extensionData(const char* uri) {
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &stateInterface;
    return nullptr;
}

const LV2_Descriptor descriptor = {lv2Uris::kPlugin, instantiate, connectPort, activate,
                                   run,              deactivate,  cleanup,     extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
