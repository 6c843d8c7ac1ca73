#include "engine/ParameterDescriptions.h"

#include <cmath>

#include "engine/CoefficientMapping.h"

const ParameterDescription parameterDescriptions[kParameterCount] = {
    {"bypass", "Bypass", "Bypass", "", ParameterUnit::onOff},
    {"ratio", "Ratio", "Ratio", "%", ParameterUnit::percent},
    {"threshold", "Threshold", "Thresh", "dB", ParameterUnit::decibels},
    {"attack", "Attack", "Attack", "ms", ParameterUnit::milliseconds},
    {"release", "Release", "Release", "ms", ParameterUnit::milliseconds},
    {"makeup", "Make-up gain", "Make-up", "dB", ParameterUnit::decibels},
};

// Both from the 32-bit coefficient the engine really applies, not from the
// exact power of ten.
double attackTimeConstantInSamples(float attack) {
    const double closed = static_cast<float>(coefficientMapping::attackCoefficient.at(attack));
    if (closed >= 1.0) return 0.0;
    return -1.0 / std::log1p(-closed);
}

double releaseTimeConstantInSamples(float release) {
    const double kept = static_cast<float>(1.0 - coefficientMapping::releaseComplement.at(release));
    if (kept <= 0.0) return 0.0;
    return -1.0 / std::log(kept);
}

double parameterValueInUnit(int32_t index, float value, double sampleRate) {
    using namespace coefficientMapping;
    switch (index) {
    case kPower: return value != 0.0f ? 1.0 : 0.0;
    case kRatio: return 100.0 * static_cast<double>(value);
    case kThreshold: return thresholdLevel.decibelsAt(value);
    case kAttack: return 1000.0 * attackTimeConstantInSamples(value) / sampleRate;
    case kRelease: return 1000.0 * releaseTimeConstantInSamples(value) / sampleRate;
    case kMakeUpGain: return makeUpLevel.decibelsAt(value);
    default: return 0.0;
    }
}
