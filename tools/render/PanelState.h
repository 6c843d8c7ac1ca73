// The compressor's settings as its panel shows them: the current program,
// whose name the program row displays, the power switch, and the knobs.
#pragma once

#include <cstdint>

#include "engine/ParameterIndex.h"

class CompressorEngine;

struct PanelState {
    int32_t program = 0;
    bool bypassed = false;
    // Knob positions by parameter index; the power entry is unused (see bypassed).
    float parameters[kParameterCount] = {};
};

// What the engine holds now.
PanelState readPanelState(CompressorEngine& engine);
