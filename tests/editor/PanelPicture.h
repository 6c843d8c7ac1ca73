// What the whole panel should show, composed from the committed artwork: the
// background and, on it, the frame of each control that the test names.
#pragma once

#include <cstdint>

#include "CapturedImage.h"

struct PanelFrames {
    // The panel as a new instance shows it: program 0 ("Default"), compressor
    // on, the meter dark.
    static PanelFrames factory() { return PanelFrames(); }

    int32_t powerButton = 0;  // 2 while held
    int32_t powerLed = 0;
    // Ratio, threshold, attack, release, make-up gain: 0.5, 0.6, 0.18, 0.55, 0.6.
    int32_t knobs[5] = {25, 29, 9, 27, 29};
    int32_t programName = 0;
    int32_t meter = 0;
    // The program-row button shown pressed, by its command index; -1 for none.
    int32_t pressedCommand = -1;
};

CapturedImage composePanel(const PanelFrames& frames);
