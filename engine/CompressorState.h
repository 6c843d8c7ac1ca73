// Everything a person can see or reach in the compressor, as one value: the
// program the panel shows, the six working values, the stored programs and
// the copy slot. It is what a host keeps of the plug-in in its saved session
// and gives back when it loads one (see StateChunk.h for the bytes).
#pragma once

#include <cstdint>

#include "engine/CompressorProgram.h"
#include "engine/FactoryPrograms.h"

struct CompressorState {
    int32_t currentProgram = 0;
    CompressorProgram working;  // power and the five knobs, as they are now
    CompressorProgram programs[kFactoryProgramCount];
    bool copySlotFilled = false;  // Copy has been pressed since the bank was built
    CompressorProgram copySlot;
};
