// Holds what the editor shows against what the settings should have made of
// it, and says which setting did not take.
//
// Two readings: the values the engine holds (the knob wrote exactly the
// position it was dragged to, the program and power are as asked), and the
// pictures in a capture of the editor's window, repainted from those values,
// frame by frame against the controls' strips: each knob, the power switch
// and its LED, the program's name.
#pragma once

#include <string>

#include "CapturedImage.h"
#include "tools/render/LinkedCompressor.h"
#include "tools/render/PanelState.h"

bool checkEngineHolds(const PanelState& expected, CompressorEngine& engine, std::string& error);
bool checkEditorShows(const CapturedImage& capture, const LinkedCompressor& compressor, std::string& error);
