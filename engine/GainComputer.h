// The per-sample law of the compressor: a peak envelope of the louder
// channel, one gain from threshold and ratio, applied with the make-up gain
// to both channels. Works on a run of frames with coefficients fixed for the
// run; the engine cuts blocks into runs at the meter points.
#pragma once

#include <emmintrin.h>

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
    void compress(const StereoRun& run);

    // The amount by which the envelope is pulled down at the last frame,
    // full scale 1.0; only a negative ratio can push the gain out of 0..1.
    float meterValue() const {
        if (lastGain < 0.0f) return 0.0f;
        if (lastGain > 1.0f) return 1.0f;
        return envelope - envelope * lastGain;
    }

    // A non-finite sample does not drive the envelope: one infinite sample
    // would otherwise silence the output for good. It counts as silence in
    // its own channel only, so the other channel's peak still drives the
    // envelope for that frame.
    static float finitePeak(float sample) {
        const float peak = std::fabs(sample);
        return peak <= FLT_MAX ? peak : 0.0f;
    }

    static float detect(float left, float right) {
        const float leftPeak = finitePeak(left);
        const float rightPeak = finitePeak(right);
        return leftPeak > rightPeak ? leftPeak : rightPeak;
    }

    float followPeak(float detector, float env) const {
        const float rising = env + attackCoefficient * (detector - env);
        const float falling = releaseCoefficient * env;
        return detector > env ? rising : falling;
    }

    float gainFor(float env) const {
        if (env > thresholdLevel) return 1.0f / (ratioFactor * (env / thresholdLevel - 1.0f) + 1.0f);
        return 1.0f;
    }

private:
    // Inlined into compress, so that the local copy there stays in registers.
    template <bool Accumulate>
    __attribute__((always_inline)) void compressFrame(const StereoRun& run, int32_t i);
    template <bool Accumulate>
    __attribute__((always_inline)) void compressFourFrames(const StereoRun& run, int32_t i);
};

template <bool Accumulate>
void GainComputer::compress(const StereoRun& run) {
    // A local copy lives in registers; the compiler cannot know that the
    // output arrays do not overlap this object.
    GainComputer law = *this;
    int32_t i = 0;
    for (; i + 4 <= run.frames; i += 4) law.compressFourFrames<Accumulate>(run, i);
    for (; i < run.frames; ++i) law.compressFrame<Accumulate>(run, i);
    envelope = law.envelope;
    lastGain = law.lastGain;
}

template <bool Accumulate>
inline void GainComputer::compressFrame(const StereoRun& run, int32_t i) {
    const float left = run.inLeft[i];
    const float right = run.inRight[i];
    envelope = followPeak(detect(left, right), envelope);
    lastGain = gainFor(envelope);
    const float wetLeft = left * makeUpLevel * lastGain;
    const float wetRight = right * makeUpLevel * lastGain;
    run.outLeft[i] = Accumulate ? run.outLeft[i] + wetLeft : wetLeft;
    run.outRight[i] = Accumulate ? run.outRight[i] + wetRight : wetRight;
}

// Only the envelope is a recurrence; detection, gain and outputs of a frame
// depend on that frame alone. So four frames at a time: the envelope steps
// serially, everything else in vector registers, where the processor works
// on it while the next envelope steps wait for their predecessors. The
// vector operations are the same IEEE operations in the same order as
// compressFrame, so the results are the same to the bit.
template <bool Accumulate>
inline void GainComputer::compressFourFrames(const StereoRun& run, int32_t i) {
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 left = _mm_loadu_ps(run.inLeft + i);
    const __m128 right = _mm_loadu_ps(run.inRight + i);

    // Each channel's non-finite peaks are zeroed first; max then picks its
    // second operand when the first is not greater, as detect does.
    const __m128 largest = _mm_set1_ps(FLT_MAX);
    const __m128 leftPeak = _mm_and_ps(left, absMask);
    const __m128 rightPeak = _mm_and_ps(right, absMask);
    const __m128 detector = _mm_max_ps(_mm_and_ps(leftPeak, _mm_cmple_ps(leftPeak, largest)),
                                       _mm_and_ps(rightPeak, _mm_cmple_ps(rightPeak, largest)));
    alignas(16) float detectors[4];
    _mm_store_ps(detectors, detector);
    const float env0 = followPeak(detectors[0], envelope);
    const float env1 = followPeak(detectors[1], env0);
    const float env2 = followPeak(detectors[2], env1);
    envelope = followPeak(detectors[3], env2);

    const __m128 envs = _mm_setr_ps(env0, env1, env2, envelope);
    const __m128 threshold = _mm_set1_ps(thresholdLevel);
    const __m128 reduced = _mm_div_ps(
        one, _mm_add_ps(_mm_mul_ps(_mm_set1_ps(ratioFactor), _mm_sub_ps(_mm_div_ps(envs, threshold), one)), one));
    const __m128 above = _mm_cmpgt_ps(envs, threshold);
    const __m128 gain = _mm_or_ps(_mm_and_ps(above, reduced), _mm_andnot_ps(above, one));
    lastGain = _mm_cvtss_f32(_mm_shuffle_ps(gain, gain, _MM_SHUFFLE(3, 3, 3, 3)));

    const __m128 makeUp = _mm_set1_ps(makeUpLevel);
    __m128 wetLeft = _mm_mul_ps(_mm_mul_ps(left, makeUp), gain);
    if (Accumulate) wetLeft = _mm_add_ps(_mm_loadu_ps(run.outLeft + i), wetLeft);
    _mm_storeu_ps(run.outLeft + i, wetLeft);
    // Left is stored before the right outputs are read, so a host that
    // passes one array for both outputs gets what a frame-by-frame loop gives.
    __m128 wetRight = _mm_mul_ps(_mm_mul_ps(right, makeUp), gain);
    if (Accumulate) wetRight = _mm_add_ps(_mm_loadu_ps(run.outRight + i), wetRight);
    _mm_storeu_ps(run.outRight + i, wetRight);
}

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
