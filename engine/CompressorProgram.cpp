#include "engine/CompressorProgram.h"

#include "engine/FactoryPrograms.h"

CompressorProgram::CompressorProgram() {
    for (int32_t k = 0; k < kParameterCount; ++k) values[k] = factoryPrograms[0][k];
}
