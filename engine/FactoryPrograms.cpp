#include "engine/FactoryPrograms.h"

const float factoryPrograms[kFactoryProgramCount][kParameterCount] = {
    // power ratio threshold attack release make-up
    {0.0f, 0.5f, 0.6f, 0.18f, 0.55f, 0.6f},  // Default
    {0.0f, 1.0f, 0.6f, 0.0f, 0.55f, 0.6f},   // Limiter -6dB
    {0.0f, 0.5f, 0.6f, 0.18f, 0.55f, 0.6f},  // Limiter -12dB
    {0.0f, 1.0f, 0.6f, 0.0f, 0.55f, 0.6f},   // Soft Compression
};

const char* const factoryProgramNames[kFactoryProgramCount] = {
    "Default",
    "Limiter -6dB",
    "Limiter -12dB",
    "Soft Compression",
};
