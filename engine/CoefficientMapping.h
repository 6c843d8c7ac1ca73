// How the normalised parameters become the gain computer's coefficients.
// Threshold, attack, release and make-up gain are each a power of ten whose
// exponent is linear in the parameter; the ratio is used as it is.
#pragma once

#include <cmath>

struct DecadeMapping {
    double slope;
    double offset;

    // The power of ten for a parameter value.
    double at(float value) const { return std::pow(10.0, exponent(value)); }
    double exponent(float value) const { return slope * static_cast<double>(value) + offset; }
    // The level in decibels for a parameter value, and back.
    double decibelsAt(float value) const { return 20.0 * exponent(value); }
    double valueForDecibels(double decibels) const { return (decibels / 20.0 - offset) / slope; }
    // The parameter value for a power of ten.
    double valueForPower(double power) const { return (std::log10(power) - offset) / slope; }
};

namespace coefficientMapping {

// Linear threshold, -40 dB (0) to 0 dB (1).
constexpr DecadeMapping thresholdLevel{2.0, -2.0};
// Fraction of the gap closed per sample while the envelope rises.
constexpr DecadeMapping attackCoefficient{-2.0, static_cast<double>(-0.01f)};
// One minus the factor applied per sample while the envelope falls.
constexpr DecadeMapping releaseComplement{-3.0, -2.0};
// Linear output gain, -20 dB (0) to +20 dB (1).
constexpr DecadeMapping makeUpLevel{2.0, -1.0};

}  // namespace coefficientMapping
