// The compressor as an LV2 plug-in: its ports become the engine's
// parameters and audio, its saved state the engine's chunk. The engine does
// the sound; this class only translates.
//
// Threads, as LV2 classes its calls: the constructor, connectPort, restore
// and the destructor never run beside any other call on the instance; run
// is the audio thread's; save may run beside run.
#pragma once

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "engine/CompressorEngine.h"
#include "lv2/Lv2Ports.h"
#include "lv2/PublishedState.h"
#include "lv2/StateMessages.h"

class CompressorLv2 {
public:
    CompressorLv2(double sampleRate, const LV2_Feature* const* features);
    CompressorLv2(const CompressorLv2&) = delete;
    CompressorLv2& operator=(const CompressorLv2&) = delete;

    // False when the engine could not allocate its program bank.
    bool isComplete() const { return engine.hasProgramBank(); }

    void connectPort(uint32_t port, void* data);
    void run(uint32_t frames);

    // The whole state as the VST build's chunk, under one property.
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    // The whole state (a saved session, a host's own preset), or the program
    // a factory preset selects; nothing at all resets the program row, as
    // LV2 asks. A damaged state is refused and changes nothing.
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

private:
    void takeMessages();
    void takePortValues();
    void sendMessages();
    void forgetPortValues();
    CompressorState currentState();

    CompressorEngine engine;
    Lv2Urids urids;
    LV2_Atom_Forge forge = {};
    PublishedState programRow;

    float* audio[4] = {nullptr, nullptr, nullptr, nullptr};
    const float* parameterPorts[kParameterCount] = {};
    float lastReadings[kParameterCount];  // what the ports read at the last block
    float* gainReduction = nullptr;
    const LV2_Atom_Sequence* control = nullptr;
    LV2_Atom_Sequence* notify = nullptr;
    bool stateWanted = false;  // the UI asked, or a restore changed the state
};
