#include "lv2/StateMessages.h"

#include <lv2/atom/util.h>
#include <lv2/patch/patch.h>

#include <cstring>

#include "engine/StateChunk.h"
#include "lv2/Lv2Uris.h"

namespace {

LV2_URID mapUri(const LV2_URID_Map* map, const char* uri) { return map ? map->map(map->handle, uri) : 0; }

}  // namespace

Lv2Urids::Lv2Urids(const LV2_URID_Map* map)
    : atomChunk(mapUri(map, LV2_ATOM__Chunk)),
      atomInt(mapUri(map, LV2_ATOM__Int)),
      atomObject(mapUri(map, LV2_ATOM__Object)),
      atomSequence(mapUri(map, LV2_ATOM__Sequence)),
      atomUrid(mapUri(map, LV2_ATOM__URID)),
      patchGet(mapUri(map, LV2_PATCH__Get)),
      patchSet(mapUri(map, LV2_PATCH__Set)),
      patchProperty(mapUri(map, LV2_PATCH__property)),
      patchValue(mapUri(map, LV2_PATCH__value)),
      state(mapUri(map, lv2Uris::kState)),
      program(mapUri(map, lv2Uris::kProgram)) {}

LV2_URID_Map* findUridMap(const LV2_Feature* const* features) {
    for (; features && *features; ++features) {
        if (std::strcmp((*features)->URI, LV2_URID__map) == 0) return static_cast<LV2_URID_Map*>((*features)->data);
    }
    return nullptr;
}

namespace stateMessages {

Kind read(const LV2_Atom* atom, const Lv2Urids& urids, CompressorState& state) {
    if (!urids.mapped() || !atom || atom->type != urids.atomObject) return Kind::none;
    const auto* object = reinterpret_cast<const LV2_Atom_Object*>(atom);
    const LV2_Atom* property = nullptr;
    const LV2_Atom* value = nullptr;
    lv2_atom_object_get(object, urids.patchProperty, &property, urids.patchValue, &value, 0);
    // A Get without a property asks for all there are.
    if (object->body.otype == urids.patchGet && !property) return Kind::stateRequest;
    if (!property || property->type != urids.atomUrid || reinterpret_cast<const LV2_Atom_URID*>(property)->body != urids.state)
        return Kind::none;
    if (object->body.otype == urids.patchGet) return Kind::stateRequest;
    if (object->body.otype != urids.patchSet || !value || value->type != urids.atomChunk) return Kind::none;
    const auto* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(value));
    return stateChunk::read(bytes, value->size, state) ? Kind::state : Kind::none;
}

bool writeStateRequest(LV2_Atom_Forge* forge, const Lv2Urids& urids) {
    LV2_Atom_Forge_Frame frame;
    if (!lv2_atom_forge_object(forge, &frame, 0, urids.patchGet)) return false;
    lv2_atom_forge_key(forge, urids.patchProperty);
    const bool written = lv2_atom_forge_urid(forge, urids.state) != 0;
    lv2_atom_forge_pop(forge, &frame);
    return written;
}

bool writeState(LV2_Atom_Forge* forge, const Lv2Urids& urids, const CompressorState& state) {
    uint8_t bytes[stateChunk::kWholeStateSize];
    const uint32_t size = stateChunk::write(state, stateChunk::kWholeState, bytes);
    LV2_Atom_Forge_Frame frame;
    if (!lv2_atom_forge_object(forge, &frame, 0, urids.patchSet)) return false;
    lv2_atom_forge_key(forge, urids.patchProperty);
    lv2_atom_forge_urid(forge, urids.state);
    lv2_atom_forge_key(forge, urids.patchValue);
    const bool written = lv2_atom_forge_atom(forge, size, urids.atomChunk) && lv2_atom_forge_write(forge, bytes, size);
    lv2_atom_forge_pop(forge, &frame);
    return written;
}

}  // namespace stateMessages
