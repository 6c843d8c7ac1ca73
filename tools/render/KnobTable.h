// The five knobs as the renderer's options name them, with the panel's unit
// for the two that have one: threshold and make-up gain are levels in
// decibels. Ratio, attack and release have no unit that holds at every
// sample rate (attack and release act per sample), so they are set as knob
// positions only.
#pragma once

#include "engine/CoefficientMapping.h"
#include "engine/ParameterIndex.h"

struct KnobDescription {
    ParameterIndex index;
    const char* name;                   // as the summary and messages say it
    const DecadeMapping* decibels;      // the panel's unit, or null
};

constexpr KnobDescription kKnobs[] = {
    {kRatio, "ratio", nullptr},
    {kThreshold, "threshold", &coefficientMapping::thresholdLevel},
    {kAttack, "attack", nullptr},
    {kRelease, "release", nullptr},
    {kMakeUpGain, "make-up", &coefficientMapping::makeUpLevel},
};

// The row for a parameter index; null for power and anything else.
inline const KnobDescription* knobFor(int index) {
    for (const KnobDescription& knob : kKnobs) {
        if (knob.index == index) return &knob;
    }
    return nullptr;
}
