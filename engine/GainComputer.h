// The per-sample law of the compressor: a peak envelope of the louder
// channel, one gain from threshold and ratio, applied with the make-up gain
// to both channels. Works on a run of frames with coefficients fixed for the
// run; the engine cuts blocks into runs at the meter points.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

struct StereoRun {
    const float* inLeft;
    const float* inRight;
    float* outLeft;
    float* outRight;
    int32_t frames;
};

struct GainComputer {
    float ratioFactor;
    float thresholdLevel;
    float attackCoefficient;
    float releaseCoefficient;
    float makeUpLevel;
    float envelope;
    float lastGain = 1.0f;

    // Compresses a run, adding to the outputs (Accumulate) or replacing them.
    // Each frame's inputs (and old outputs) are read before its outputs are
    // written, so inputs and outputs may be the same arrays.
    template <bool Accumulate>
    void compress(const StereoRun& run) {
        float env = envelope;
        float gain = lastGain;
        for (int32_t i = 0; i < run.frames; ++i) {
            const float left = run.inLeft[i];
            const float right = run.inRight[i];
            env = followPeak(detect(left, right), env);
            gain = gainFor(env);
            const float outLeft = left * makeUpLevel * gain;
            const float outRight = right * makeUpLevel * gain;
            if (Accumulate) {
                run.outLeft[i] += outLeft;
                run.outRight[i] += outRight;
            } else {
                run.outLeft[i] = outLeft;
                run.outRight[i] = outRight;
            }
        }
        envelope = env;
        lastGain = gain;
    }

    // The amount by which the envelope is pulled down at the last frame,
    // full scale 1.0; only a negative ratio can push the gain out of 0..1.
    float meterValue() const {
        if (lastGain < 0.0f) return 0.0f;
        if (lastGain > 1.0f) return 1.0f;
        return envelope - envelope * lastGain;
    }

    // A non-finite detector value does not drive the envelope: one infinite
    // sample would otherwise silence the output for good.
    static float detect(float left, float right) {
        const float leftPeak = std::fabs(left);
        const float rightPeak = std::fabs(right);
        const float peak = leftPeak > rightPeak ? leftPeak : rightPeak;
        return peak <= FLT_MAX ? peak : 0.0f;
    }

    float followPeak(float detector, float env) const {
        if (detector > env) return env + attackCoefficient * (detector - env);
        return releaseCoefficient * env;
    }

    float gainFor(float env) const {
        if (env > thresholdLevel) return 1.0f / (ratioFactor * (env / thresholdLevel - 1.0f) + 1.0f);
        return 1.0f;
    }
};

// Bypass: the input passes unchanged, without the make-up gain.
template <bool Accumulate>
void copyThrough(const StereoRun& run) {
    for (int32_t i = 0; i < run.frames; ++i) {
        const float left = run.inLeft[i];
        const float right = run.inRight[i];
        if (Accumulate) {
            run.outLeft[i] += left;
            run.outRight[i] += right;
        } else {
            run.outLeft[i] = left;
            run.outRight[i] = right;
        }
    }
}
