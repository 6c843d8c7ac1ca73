#include "engine/ParameterDescriptions.h"

#include <cmath>
#include <limits>

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

namespace {

// The time constant of an envelope that closes this share of the gap per
// sample, and back; a constant of no length closes all of it.
double timeConstantForShare(double share) { return share < 1.0 ? -1.0 / std::log1p(-share) : 0.0; }
double shareForTimeConstant(double timeConstant) { return timeConstant > 0.0 ? -std::expm1(-1.0 / timeConstant) : 1.0; }

double normalisedFromReading(int32_t index, double reading) {
    using namespace coefficientMapping;
    switch (index) {
    case kPower: return reading > 0.5 ? 1.0 : 0.0;
    case kRatio: return reading / 100.0;
    case kThreshold: return thresholdLevel.valueForDecibels(reading);
    case kAttack: return attackCoefficient.valueForPower(shareForTimeConstant(reading));
    case kRelease: return releaseComplement.valueForPower(shareForTimeConstant(reading));
    case kMakeUpGain: return makeUpLevel.valueForDecibels(reading);
    default: return 0.0;
    }
}

}  // namespace

// The time constants from the exact power of ten rather than the 32-bit
// coefficient: near 1 a float holds a release coefficient to a few digits
// only, and many values would read alike; from the exact power, a reading
// leads back to the value it came from.
double rateFreeReading(int32_t index, float value) {
    using namespace coefficientMapping;
    switch (index) {
    case kAttack: return timeConstantForShare(attackCoefficient.at(value));
    case kRelease: return timeConstantForShare(releaseComplement.at(value));
    default: return parameterValueInUnit(index, value, 1.0);
    }
}

float valueOfRateFreeReading(int32_t index, double reading) {
    if (std::isnan(reading)) return std::numeric_limits<float>::quiet_NaN();
    const double value = normalisedFromReading(index, reading);
    if (!(value > 0.0)) return 0.0f;  // below the range, and the log of a share of 0
    if (value >= 1.0) return 1.0f;
    return static_cast<float>(value);
}
