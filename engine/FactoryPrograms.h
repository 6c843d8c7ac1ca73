// The four factory programs of the bank, in the order of the panel's
// program-name display.
#pragma once

#include <cstdint>

#include "engine/ParameterIndex.h"

constexpr int32_t kFactoryProgramCount = 4;

// Values of parameters 0..5 (power, ratio, threshold, attack, release,
// make-up gain). The two limiter programs keep the values of the first two
// programs: the names differ, the settings are the same.
extern const float factoryPrograms[kFactoryProgramCount][kParameterCount];

// The names the panel's program display shows for them.
extern const char* const factoryProgramNames[kFactoryProgramCount];
