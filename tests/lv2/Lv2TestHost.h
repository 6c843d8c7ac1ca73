// A small LV2 host for the tests: lilv finds the built bundle, as hosts find
// an installed one, and instances are driven through the descriptor and the
// state interface the way hosts drive them.
#pragma once

#include <lilv/lilv.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lv2/Lv2Ports.h"

class UridTable {
public:
    UridTable();
    LV2_URID map(const std::string& uri);
    const char* unmap(LV2_URID urid) const;
    LV2_URID_Map* mapFeature() { return &mapData; }
    LV2_URID_Unmap* unmapFeature() { return &unmapData; }

private:
    std::vector<std::string> uris;  // URID n is uris[n - 1]
    LV2_URID_Map mapData;
    LV2_URID_Unmap unmapData;
};

// One saved property, as a host keeps it.
struct StoredProperty {
    std::vector<uint8_t> value;
    uint32_t type = 0;
};
using StoredState = std::map<LV2_URID, StoredProperty>;

class Lv2Instance;

class Lv2TestHost {
public:
    Lv2TestHost();
    ~Lv2TestHost();
    Lv2TestHost(const Lv2TestHost&) = delete;
    Lv2TestHost& operator=(const Lv2TestHost&) = delete;

    LilvWorld* getWorld() const { return world; }
    const LilvPlugin* getPlugin() const { return plugin; }
    UridTable& getUrids() { return urids; }
    // The port values a preset sets, by symbol.
    std::vector<std::pair<std::string, float>> presetPortValues(const std::string& presetUri);
    // The features a host offers: the URI map, or nothing at all.
    const LV2_Feature* const* features(bool withUridMap);

private:
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    UridTable urids;
    LV2_Feature mapFeature;
    LV2_Feature unmapFeature;
    const LV2_Feature* allFeatures[3];
    const LV2_Feature* noFeatures[1] = {nullptr};
};

// An instance with its ports connected to buffers of its own: the control
// ports to one float each, the message ports to sequences of 4 kB.
class Lv2Instance {
public:
    Lv2Instance(Lv2TestHost& host, double sampleRate, bool withUridMap = true);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool valid() const { return instance != nullptr; }
    float& port(uint32_t index) { return controls[index]; }
    // Runs one block in place or from separate buffers, as hosts may.
    void run(const float* inLeft, const float* inRight, float* outLeft, float* outRight, uint32_t frames);
    // Queues a message for the next run's control sequence.
    void sendMessage(const std::vector<uint8_t>& atom);
    // The atoms the last run wrote to the notify port.
    std::vector<std::vector<uint8_t>> notifications() const;

    // Loads a preset as hosts do: lilv sets its ports and restores its state.
    bool loadPreset(const std::string& uri);

    LV2_State_Status save(StoredState& state);
    LV2_State_Status restore(const StoredState& state);

private:
    Lv2TestHost& host;
    LilvInstance* instance = nullptr;
    const LV2_State_Interface* stateInterface = nullptr;
    float controls[lv2Ports::kCount] = {};
    alignas(8) uint8_t controlBuffer[4096];
    alignas(8) uint8_t notifyBuffer[4096];
    std::vector<std::vector<uint8_t>> pending;
};
