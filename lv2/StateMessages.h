// The messages the UI and the plug-in exchange over their message ports,
// for what ports cannot carry: the program row's state lives in the
// plug-in, which saves it, and the UI's program row works on it.
//
//   UI -> plug-in   patch:Get  zq3r:state            "send me the state"
//   UI -> plug-in   patch:Set  zq3r:state  <chunk>   "the row changed it"
//   plug-in -> UI   patch:Set  zq3r:state  <chunk>   on request, and after
//                                                    a restore
//
// The chunk is an atom:Chunk holding the bytes of the VST build's chunk
// (engine/StateChunk.h): one format, one validation, everywhere.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include "engine/CompressorState.h"

struct Lv2Urids {
    LV2_URID atomChunk = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomObject = 0;
    LV2_URID atomSequence = 0;
    LV2_URID atomUrid = 0;
    LV2_URID patchGet = 0;
    LV2_URID patchSet = 0;
    LV2_URID patchProperty = 0;
    LV2_URID patchValue = 0;
    LV2_URID state = 0;
    LV2_URID program = 0;

    // All zero for a host that maps no URIs: no messages, no saved state.
    explicit Lv2Urids(const LV2_URID_Map* map);
    bool mapped() const { return state != 0; }
};

// The host's URI map among its features; null when it offers none.
LV2_URID_Map* findUridMap(const LV2_Feature* const* features);

namespace stateMessages {

enum class Kind { none, stateRequest, state };

// What an atom from the other side asks; for Kind::state the chunk has
// passed the same checks as a host's chunk and is in `state` (which keeps
// its values otherwise).
Kind read(const LV2_Atom* atom, const Lv2Urids& urids, CompressorState& state);

// Each false when the forge's buffer is full.
bool writeStateRequest(LV2_Atom_Forge* forge, const Lv2Urids& urids);
bool writeState(LV2_Atom_Forge* forge, const Lv2Urids& urids, const CompressorState& state);

}  // namespace stateMessages
