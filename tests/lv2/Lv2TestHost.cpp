#include "tests/lv2/Lv2TestHost.h"

#include <lv2/atom/util.h>

#include <cstring>

namespace {

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<UridTable*>(handle)->map(uri); }

const char* unmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    return static_cast<UridTable*>(handle)->unmap(urid);
}

LV2_State_Status storeProperty(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                               uint32_t) {
    const auto* bytes = static_cast<const uint8_t*>(value);
    (*static_cast<StoredState*>(handle))[key] = StoredProperty{std::vector<uint8_t>(bytes, bytes + size), type};
    return LV2_STATE_SUCCESS;
}

const void* retrieveProperty(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
    const StoredState& state = *static_cast<const StoredState*>(handle);
    const auto found = state.find(key);
    if (found == state.end()) return nullptr;
    *size = found->second.value.size();
    *type = found->second.type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    static const uint8_t nothing = 0;  // an empty value is still a value
    return found->second.value.empty() ? &nothing : found->second.value.data();
}

}  // namespace

UridTable::UridTable() : mapData{this, mapUri}, unmapData{this, unmapUrid} {}

LV2_URID UridTable::map(const std::string& uri) {
    for (size_t i = 0; i < uris.size(); ++i) {
        if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    }
    uris.push_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

const char* UridTable::unmap(LV2_URID urid) const {
    return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
}

Lv2TestHost::Lv2TestHost()
    : mapFeature{LV2_URID__map, urids.mapFeature()},
      unmapFeature{LV2_URID__unmap, urids.unmapFeature()},
      allFeatures{&mapFeature, &unmapFeature, nullptr} {
    world = lilv_world_new();
    LilvNode* path = lilv_new_string(world, ZQ3R_LV2_PATH);
    lilv_world_set_option(world, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(world);
    LilvNode* uri = lilv_new_uri(world, "urn:zq3r:compressor");
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
}

Lv2TestHost::~Lv2TestHost() { lilv_world_free(world); }

std::vector<std::pair<std::string, float>> Lv2TestHost::presetPortValues(const std::string& presetUri) {
    std::vector<std::pair<std::string, float>> values;
    LilvNode* node = lilv_new_uri(world, presetUri.c_str());
    lilv_world_load_resource(world, node);
    LilvState* preset = lilv_state_new_from_world(world, urids.mapFeature(), node);
    lilv_node_free(node);
    if (!preset) return values;
    auto collect = [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
        if (size == sizeof(float))
            static_cast<decltype(values)*>(data)->emplace_back(symbol, *static_cast<const float*>(value));
    };
    lilv_state_emit_port_values(preset, collect, &values);
    lilv_state_free(preset);
    return values;
}

const LV2_Feature* const* Lv2TestHost::features(bool withUridMap) { return withUridMap ? allFeatures : noFeatures; }

Lv2Instance::Lv2Instance(Lv2TestHost& host, double sampleRate, bool withUridMap) : host(host) {
    if (!host.getPlugin()) return;
    instance = lilv_plugin_instantiate(host.getPlugin(), sampleRate, host.features(withUridMap));
    if (!instance) return;
    stateInterface = static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
    // Every control input starts at its default, as hosts start them.
    std::vector<float> defaults(lv2Ports::kCount);
    lilv_plugin_get_port_ranges_float(host.getPlugin(), nullptr, nullptr, defaults.data());
    for (uint32_t index = lv2Ports::kFirstParameter; index <= lv2Ports::kGainReduction; ++index) {
        controls[index] = defaults[index];
        lilv_instance_connect_port(instance, index, &controls[index]);
    }
    lilv_instance_connect_port(instance, lv2Ports::kControl, controlBuffer);
    lilv_instance_connect_port(instance, lv2Ports::kNotify, notifyBuffer);
    lilv_instance_activate(instance);
}

Lv2Instance::~Lv2Instance() {
    if (!instance) return;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

void Lv2Instance::sendMessage(const std::vector<uint8_t>& atom) { pending.push_back(atom); }

void Lv2Instance::run(const float* inLeft, const float* inRight, float* outLeft, float* outRight, uint32_t frames) {
    UridTable& urids = host.getUrids();
    // The control sequence: the queued messages, all at frame 0.
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(controlBuffer);
    sequence->atom.type = urids.map(LV2_ATOM__Sequence);
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    sequence->body.unit = 0;
    sequence->body.pad = 0;
    for (const std::vector<uint8_t>& atom : pending) {
        LV2_Atom_Event* event = lv2_atom_sequence_end(&sequence->body, sequence->atom.size);
        event->time.frames = 0;
        std::memcpy(&event->body, atom.data(), atom.size());
        sequence->atom.size += static_cast<uint32_t>(lv2_atom_pad_size(sizeof(LV2_Atom_Event) + atom.size() - sizeof(LV2_Atom)));
    }
    pending.clear();
    // The notify port: its capacity, as hosts announce it.
    auto* notify = reinterpret_cast<LV2_Atom_Sequence*>(notifyBuffer);
    notify->atom.type = 0;
    notify->atom.size = sizeof notifyBuffer - sizeof(LV2_Atom);

    lilv_instance_connect_port(instance, lv2Ports::kInLeft, const_cast<float*>(inLeft));
    lilv_instance_connect_port(instance, lv2Ports::kInRight, const_cast<float*>(inRight));
    lilv_instance_connect_port(instance, lv2Ports::kOutLeft, outLeft);
    lilv_instance_connect_port(instance, lv2Ports::kOutRight, outRight);
    lilv_instance_run(instance, frames);
}

std::vector<std::vector<uint8_t>> Lv2Instance::notifications() const {
    std::vector<std::vector<uint8_t>> atoms;
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(notifyBuffer);
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&event->body);
        atoms.emplace_back(bytes, bytes + sizeof(LV2_Atom) + event->body.size);
    }
    return atoms;
}

bool Lv2Instance::loadPreset(const std::string& uri) {
    LilvNode* node = lilv_new_uri(host.getWorld(), uri.c_str());
    lilv_world_load_resource(host.getWorld(), node);
    LilvState* preset = lilv_state_new_from_world(host.getWorld(), host.getUrids().mapFeature(), node);
    lilv_node_free(node);
    if (!preset) return false;
    auto setPort = [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
        auto* self = static_cast<Lv2Instance*>(data);
        LilvNode* name = lilv_new_string(self->host.getWorld(), symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(self->host.getPlugin(), name);
        lilv_node_free(name);
        if (port && size == sizeof(float))
            self->controls[lilv_port_get_index(self->host.getPlugin(), port)] = *static_cast<const float*>(value);
    };
    lilv_state_restore(preset, instance, setPort, this, 0, host.features(true));
    lilv_state_free(preset);
    return true;
}

LV2_State_Status Lv2Instance::save(StoredState& state) {
    if (!stateInterface) return LV2_STATE_ERR_NO_FEATURE;
    return stateInterface->save(lilv_instance_get_handle(instance), storeProperty, &state, 0, nullptr);
}

LV2_State_Status Lv2Instance::restore(const StoredState& state) {
    if (!stateInterface) return LV2_STATE_ERR_NO_FEATURE;
    return stateInterface->restore(lilv_instance_get_handle(instance), retrieveProperty,
                                   const_cast<StoredState*>(&state), 0, nullptr);
}
