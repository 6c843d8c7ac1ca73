// What hosts are told of the six parameters: their names and the units the
// engine's law gives them. Every format adapter reads this one table, so a
// parameter has the same name and the same meaning in every host.
//
// The values stay normalised (0..1, as the knobs write them); the unit is a
// reading of what the engine does with the value:
// - power is a switch, named for what a non-zero value does (bypass);
// - the law has no constant ratio: the ratio is the share of limiting, from
//   0 % (the signal is left alone) to 100 % (the envelope is held at the
//   threshold);
// - threshold and make-up gain are levels in decibels;
// - attack and release act per sample, so in milliseconds they are time
//   constants at a sample rate: the time in which the envelope closes all
//   but 1/e of the gap (attack) or falls to 1/e of its level (release).
#pragma once

#include <cstdint>

#include "engine/ParameterIndex.h"

enum class ParameterUnit { onOff, percent, decibels, milliseconds };

struct ParameterDescription {
    const char* symbol;     // a C identifier, for formats that key ports by one
    const char* name;       // what a host lists
    const char* shortName;  // at most seven characters, for hosts with room for no more
    const char* unitLabel;  // at most seven characters; empty for the switch
    ParameterUnit unit;
};

// In parameter index order: power, ratio, threshold, attack, release, make-up gain.
extern const ParameterDescription parameterDescriptions[kParameterCount];

// The normalised value in its parameter's unit: 0 or 1 for the switch
// (1 bypassed), percent, decibels, or milliseconds at sampleRate. Indices
// outside the six parameters give 0.
double parameterValueInUnit(int32_t index, float value, double sampleRate);

// The time constant, in samples, of the envelope's attack and release.
double attackTimeConstantInSamples(float attack);
double releaseTimeConstantInSamples(float release);

// For formats that describe the parameters once, before any sample rate is
// known (a description file): the same readings, with attack and release as
// time constants in samples, which the law fixes whatever the rate. Every
// value comes back from its reading, read as a float, exactly where the law
// is steep enough to tell neighbouring values apart.
double rateFreeReading(int32_t index, float value);
// And back: the normalised value whose reading is nearest, within 0..1; a
// switch reading above 0.5 is 1. NaN gives NaN, for the caller to ignore.
float valueOfRateFreeReading(int32_t index, double reading);
