#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "EngineTestSupport.h"
#include "engine/GainComputer.h"

namespace {

GainComputer computer(float ratio, float threshold, float attack, float release, float envelope) {
    return GainComputer{ratio, threshold, attack, release, 1.0f, envelope};
}

float compressOneFrame(GainComputer& c, float left, float right, float* outLeft = nullptr) {
    float outL = 0.0f, outR = 0.0f;
    c.compress<false>(StereoRun{&left, &right, &outL, &outR, 1});
    if (outLeft) *outLeft = outL;
    return outR;
}

TEST(GainComputer, WorkedExampleGivesGainPointFourAndMeterPointTwoFour) {
    // Ratio 0.5, threshold 0.1, envelope held at 0.4: 1 / (0.5 * 3 + 1).
    GainComputer c = computer(0.5f, 0.1f, 0.5f, 1.0f, 0.4f);
    float outLeft = 0.0f;
    compressOneFrame(c, 0.4f, -0.2f, &outLeft);
    EXPECT_FLOAT_EQ(c.envelope, 0.4f);
    EXPECT_FLOAT_EQ(c.lastGain, 0.4f);
    EXPECT_FLOAT_EQ(outLeft, 0.16f);
    EXPECT_FLOAT_EQ(c.meterValue(), 0.24f);
}

TEST(GainComputer, DetectorEqualToTheEnvelopeTakesTheReleaseBranch) {
    GainComputer c = computer(0.0f, 1.0f, 0.5f, 0.9f, 0.5f);
    compressOneFrame(c, 0.5f, -0.5f);
    EXPECT_FLOAT_EQ(c.envelope, 0.45f);
    compressOneFrame(c, 0.0f, 0.65f);  // louder than 0.45: closes half the gap
    EXPECT_FLOAT_EQ(c.envelope, 0.55f);
}

TEST(GainComputer, NegativeRatioClampsTheMeterValue) {
    GainComputer c = computer(-0.5f, 0.1f, 0.5f, 1.0f, 0.4f);  // gain 1 / (-1.5 + 1) = -2
    compressOneFrame(c, 0.4f, 0.0f);
    EXPECT_LT(c.lastGain, 0.0f);
    EXPECT_EQ(c.meterValue(), 0.0f);
    c = computer(-0.25f, 0.1f, 0.5f, 1.0f, 0.2f);  // gain 1 / (-0.25 + 1) = 1.33
    compressOneFrame(c, 0.2f, 0.0f);
    EXPECT_GT(c.lastGain, 1.0f);
    EXPECT_EQ(c.meterValue(), 1.0f);
}

// The law written out frame by frame, as plainly as it reads; the engine's
// chunked, vectorized passes must give the very same bits.
StereoBuffer compressFrameByFrame(const StereoBuffer& in, CompressorEngine::Coefficients c) {
    StereoBuffer out(in.left.size());
    float envelope = 0.0f;
    for (int32_t i = 0; i < in.frames(); ++i) {
        const float d = std::max(std::fabs(in.left[i]), std::fabs(in.right[i]));
        if (d > envelope) {
            envelope = envelope + c.attackCoefficient * (d - envelope);
        } else {
            envelope = c.releaseCoefficient * envelope;
        }
        float gain = 1.0f;
        if (envelope > c.thresholdLevel) gain = 1.0f / (c.ratioFactor * (envelope / c.thresholdLevel - 1.0f) + 1.0f);
        out.left[i] = in.left[i] * c.makeUpLevel * gain;
        out.right[i] = in.right[i] * c.makeUpLevel * gain;
    }
    return out;
}

TEST(GainComputer, ChunkedPassesGiveExactlyTheFrameByFrameResult) {
    const StereoBuffer in = testSignal(20000);
    for (int32_t block : {1, 63, 64, 65, 512, 881, 4096}) {
        SCOPED_TRACE(block);
        CompressorEngine engine(44100.0f, block);
        engine.setParameter(kAttack, 0.05f);
        engine.setParameter(kRatio, 0.8f);
        StereoBuffer out(in.left.size());
        for (int32_t start = 0; start < in.frames(); start += block) {
            const int32_t frames = std::min(block, in.frames() - start);
            engine.processReplacing(&in.left[start], &in.right[start], &out.left[start], &out.right[start], frames);
        }
        const StereoBuffer expected = compressFrameByFrame(in, engine.getCoefficients());
        ASSERT_EQ(out.left, expected.left);
        ASSERT_EQ(out.right, expected.right);
    }
}

class EngineLaw : public ::testing::Test {
protected:
    void setParameters(float ratio, float threshold, float attack, float release, float makeUp) {
        engine.setParameter(kRatio, ratio);
        engine.setParameter(kThreshold, threshold);
        engine.setParameter(kAttack, attack);
        engine.setParameter(kRelease, release);
        engine.setParameter(kMakeUpGain, makeUp);
    }
    CompressorEngine engine{44100.0f, 1024};
};

TEST_F(EngineLaw, RatioOneLimitsTheEnvelopeToTheThreshold) {
    setParameters(1.0f, 0.5f, 0.0f, 0.5f, 0.75f);  // threshold 0.1, make-up +10 dB
    const auto c = engine.getCoefficients();
    StereoBuffer in(4000, 0.8f), out(4000);
    processReplacing(engine, in, out);
    // The envelope has long settled at 0.8: gain * envelope == threshold.
    const float expected = c.thresholdLevel * c.makeUpLevel;
    EXPECT_NEAR(out.left.back(), expected, expected * 1e-5);
    EXPECT_NEAR(out.right.back(), expected, expected * 1e-5);
    // And at every sample above the threshold.
    GainComputer law{1.0f, c.thresholdLevel, c.attackCoefficient, c.releaseCoefficient, 1.0f, 0.0f};
    for (int i = 0; i < 200; ++i) {
        compressOneFrame(law, 0.8f, 0.3f);
        if (law.envelope > c.thresholdLevel) {
            EXPECT_NEAR(law.envelope * law.lastGain, c.thresholdLevel, 1e-7);
        }
    }
}

TEST_F(EngineLaw, BelowTheThresholdOnlyTheMakeUpGainApplies) {
    setParameters(1.0f, 0.75f, 0.0f, 0.0f, 1.0f);  // threshold -10 dB, make-up +20 dB
    StereoBuffer in(2000, 0.2f), out(2000);
    in.right.assign(2000, -0.1f);
    processReplacing(engine, in, out);
    for (int32_t i = 0; i < in.frames(); ++i) {
        ASSERT_FLOAT_EQ(out.left[i], 0.2f * 10.0f) << i;
        ASSERT_FLOAT_EQ(out.right[i], -0.1f * 10.0f) << i;
    }
    EXPECT_EQ(engine.getVu(0), 0.0f);
}

TEST_F(EngineLaw, RatioZeroNeverChangesTheGain) {
    setParameters(0.0f, 0.0f, 0.0f, 0.0f, 0.5f);
    const StereoBuffer in = testSignal(5000);
    StereoBuffer out(5000);
    processReplacing(engine, in, out);
    for (int32_t i = 0; i < in.frames(); ++i) ASSERT_FLOAT_EQ(out.left[i], in.left[i]) << i;
}

TEST_F(EngineLaw, BothChannelsShareOneGainFromTheLouderChannel) {
    StereoBuffer in(3000, 0.0f), out(3000);
    in.left.assign(3000, 0.9f);
    in.right.assign(3000, 0.09f);
    processReplacing(engine, in, out);
    for (int32_t i = 0; i < in.frames(); ++i) ASSERT_NEAR(out.left[i], out.right[i] * 10.0f, 1e-5f) << i;
    EXPECT_LT(out.left.back(), 0.9f);  // compressed, driven by the left channel
}

TEST_F(EngineLaw, AccumulatingAddsTheReplacingResultToTheOutputs) {
    const StereoBuffer in = testSignal(3000);
    CompressorEngine twin(44100.0f, 1024);
    StereoBuffer replaced(3000), accumulated(3000, 0.25f);
    processReplacing(twin, in, replaced);
    process(engine, in, accumulated);
    for (int32_t i = 0; i < in.frames(); ++i) {
        ASSERT_FLOAT_EQ(accumulated.left[i], 0.25f + replaced.left[i]) << i;
        ASSERT_FLOAT_EQ(accumulated.right[i], 0.25f + replaced.right[i]) << i;
    }
    EXPECT_EQ(engine.getEnvelope(), twin.getEnvelope());
}

TEST_F(EngineLaw, InPlaceProcessingEqualsSeparateArraysInBothModes) {
    const StereoBuffer in = testSignal(4096);
    for (bool accumulate : {false, true}) {
        SCOPED_TRACE(accumulate);
        CompressorEngine separateEngine(44100.0f, 1024), inPlaceEngine(44100.0f, 1024);
        StereoBuffer separate(4096, 0.0f);
        StereoBuffer inPlace = in;
        if (accumulate) {
            separate = in;  // the host left the input in the outputs
            separateEngine.process(in.left.data(), in.right.data(), separate.left.data(), separate.right.data(), 4096);
            inPlaceEngine.process(inPlace.left.data(), inPlace.right.data(), inPlace.left.data(), inPlace.right.data(), 4096);
        } else {
            processReplacing(separateEngine, in, separate);
            inPlaceEngine.processReplacing(inPlace.left.data(), inPlace.right.data(), inPlace.left.data(), inPlace.right.data(), 4096);
        }
        EXPECT_EQ(separate.left, inPlace.left);
        EXPECT_EQ(separate.right, inPlace.right);
    }
}

TEST_F(EngineLaw, BypassPassesTheInputAndLeavesTheEnvelopeAlone) {
    const StereoBuffer in = testSignal(2000);
    StereoBuffer out(2000);
    processReplacing(engine, in, out);
    const float envelope = engine.getEnvelope();
    ASSERT_GT(envelope, 0.0f);

    engine.setParameter(kPower, 0.5f);
    CountingListener listener;
    engine.setListener(&listener);
    StereoBuffer loud(1762, 0.99f), replaced(1762), added(1762, 0.5f);
    processReplacing(engine, loud, replaced);
    process(engine, loud, added);
    EXPECT_EQ(replaced.left, loud.left);
    EXPECT_EQ(replaced.right, loud.right);
    for (float sample : added.left) ASSERT_FLOAT_EQ(sample, 1.49f);
    EXPECT_EQ(engine.getEnvelope(), envelope);
    EXPECT_EQ(listener.meterUpdates, 4);
    EXPECT_EQ(engine.getVu(0), 0.0f);

    // Power on again: the envelope resumes where it was.
    engine.setParameter(kPower, 0.0f);
    StereoBuffer quiet(1, 0.0f), silent(1);
    processReplacing(engine, quiet, silent);
    EXPECT_FLOAT_EQ(engine.getEnvelope(), envelope * engine.getCoefficients().releaseCoefficient);
}

}  // namespace
