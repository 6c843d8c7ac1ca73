// The compressor's settings in words, for the summary and the plot: each
// knob as its position and, where the panel has a unit, in that unit.
#pragma once

#include <string>

#include "tools/render/PanelState.h"

// "Limiter -12dB (program 2), power on"
std::string programAndPowerText(const PanelState& state);
// "ratio 0.5, threshold 0.3 (-28.0 dB), attack 0.18, release 0.55, make-up 0.6 (+4.0 dB)"
std::string knobsText(const PanelState& state);
// The shortest decimal that reads back as the same float: "0.3", not "0.300000012".
std::string shortestText(float value);
