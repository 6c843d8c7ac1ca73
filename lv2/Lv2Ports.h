// The plug-in's ports as LV2 numbers them, for the plug-in, its UI and its
// description alike: stereo audio, the six parameters as control inputs, the
// gain reduction as a control output, and two message ports through which
// the UI and the plug-in exchange what ports cannot carry (the program row's
// state).
#pragma once

#include <cstdint>

#include "engine/ParameterIndex.h"

namespace lv2Ports {

enum Index : uint32_t {
    kInLeft = 0,
    kInRight = 1,
    kOutLeft = 2,
    kOutRight = 3,
    kFirstParameter = 4,  // parameters 0..5, in the engine's order
    kGainReduction = kFirstParameter + kParameterCount,
    kControl = kGainReduction + 1,  // messages from the UI
    kNotify = kControl + 1,         // messages to the UI
    kCount = kNotify + 1,
};

constexpr uint32_t portOfParameter(int32_t parameter) { return kFirstParameter + static_cast<uint32_t>(parameter); }
constexpr bool isParameterPort(uint32_t port) { return port >= kFirstParameter && port < kGainReduction; }
constexpr int32_t parameterOfPort(uint32_t port) { return static_cast<int32_t>(port - kFirstParameter); }

// What LV2 hosts find in the power switch's port: a host's bypass button
// drives it (lv2:enabled), and there 1 means the plug-in works. Our switch
// reads the other way round (0 compressing, 1 bypassed), so this port alone
// has a name and symbol of its own; the other five keep the engine's.
constexpr const char* kEnabledSymbol = "enabled";
constexpr const char* kEnabledName = "Enabled";

// A parameter's normalised value as its port reads, in the units the
// description gives (the switch turned round, percent, decibels, time
// constants in samples), and back. A port reading that is no number gives
// NaN, for the caller to ignore.
float portReading(int32_t parameter, float value);
float parameterValueOfPort(int32_t parameter, float reading);

}  // namespace lv2Ports
