// One program: the six parameter values in index order.
#pragma once

#include "engine/ParameterIndex.h"

struct CompressorProgram {
    float values[kParameterCount];

    // A new record holds the values of the first factory program.
    CompressorProgram();
};
