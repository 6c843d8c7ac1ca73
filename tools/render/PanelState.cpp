#include "tools/render/PanelState.h"

#include "engine/CompressorEngine.h"

PanelState readPanelState(CompressorEngine& engine) {
    PanelState state;
    state.program = engine.getCurrentProgram();
    state.bypassed = engine.getParameter(kPower) != 0.0f;
    for (int32_t index = 0; index < kParameterCount; ++index) state.parameters[index] = engine.getParameter(index);
    return state;
}
