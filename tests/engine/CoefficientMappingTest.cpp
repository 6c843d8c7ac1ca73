#include <gtest/gtest.h>

#include "engine/CoefficientMapping.h"
#include "engine/CompressorEngine.h"
#include "engine/ParameterDescriptions.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

CompressorEngine::Coefficients coefficientsAt(float value) {
    CompressorEngine engine(44100.0f, 1024);
    for (int32_t k = kRatio; k <= kMakeUpGain; ++k) engine.setParameter(k, value);
    return engine.getCoefficients();
}

TEST(CoefficientMapping, FollowsTheTableAtBothEndsAndTheMiddle) {
    struct Row {
        float value, ratio, threshold, attack, release, makeUp;
    };
    const Row rows[] = {
        {0.0f, 0.0f, 0.01f, 0.977237f, 0.99f, 0.1f},
        {0.5f, 0.5f, 0.1f, 0.0977237f, 0.999684f, 1.0f},
        {1.0f, 1.0f, 1.0f, 0.00977237f, 0.99999f, 10.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        const CompressorEngine::Coefficients c = coefficientsAt(row.value);
        EXPECT_FLOAT_EQ(c.ratioFactor, row.ratio);
        EXPECT_NEAR(c.thresholdLevel, row.threshold, row.threshold * 1e-6);
        EXPECT_NEAR(c.attackCoefficient, row.attack, row.attack * 1e-5);
        EXPECT_NEAR(c.releaseCoefficient, row.release, 1e-6);
        EXPECT_NEAR(c.makeUpLevel, row.makeUp, row.makeUp * 1e-6);
    }
}

TEST(CoefficientMapping, FactoryProgramZeroGivesItsDocumentedCoefficients) {
    CompressorEngine engine(44100.0f, 1024);
    const CompressorEngine::Coefficients c = engine.getCoefficients();
    EXPECT_FLOAT_EQ(c.ratioFactor, 0.5f);
    EXPECT_NEAR(c.thresholdLevel, 0.158489f, 1e-6);   // -16 dB
    EXPECT_NEAR(c.makeUpLevel, 1.58489f, 1e-5);       // +4 dB
    EXPECT_NEAR(c.attackCoefficient, 0.42658f, 1e-5);
    EXPECT_NEAR(c.releaseCoefficient, 0.999776f, 1e-6);
}

TEST(CoefficientMapping, ConvertsDecibelsBothWays) {
    using namespace coefficientMapping;
    EXPECT_DOUBLE_EQ(thresholdLevel.decibelsAt(0.6f), 40.0 * static_cast<double>(0.6f) - 40.0);
    EXPECT_DOUBLE_EQ(makeUpLevel.decibelsAt(0.0f), -20.0);
    EXPECT_NEAR(thresholdLevel.valueForDecibels(-20.0), 0.5, 1e-12);
    EXPECT_NEAR(makeUpLevel.valueForDecibels(4.0), 0.6, 1e-12);
}

TEST(CoefficientMapping, ParametersAreStoredUnclampedAndIndicesOutsideTheTableStoreNothing) {
    CompressorEngine engine(44100.0f, 1024);
    engine.setParameter(kRatio, 1.5f);
    EXPECT_FLOAT_EQ(engine.getParameter(kRatio), 1.5f);
    EXPECT_FLOAT_EQ(engine.getCoefficients().ratioFactor, 1.5f);

    engine.setParameter(kProgramPosition, 0.9f);
    engine.setParameter(-1, 0.9f);
    engine.setParameter(100, 0.9f);
    for (int32_t k = kPower; k <= kMakeUpGain; ++k) EXPECT_NE(engine.getParameter(k), 0.9f) << k;
    for (int32_t k = kResetCommand; k <= kRefreshCommand; ++k) EXPECT_EQ(engine.getParameter(k), 0.0f) << k;
    EXPECT_EQ(engine.getParameter(-1), 0.0f);
    EXPECT_EQ(engine.getVu(1), 0.0f);
    EXPECT_EQ(engine.getVu(2), 0.0f);
    EXPECT_EQ(engine.getVu(-1), 0.0f);
}

// Samples the engine's envelope needs, one sample at a time, to pass the
// given level from below (rising) or from above (falling).
int32_t samplesToPass(CompressorEngine& engine, float input, float level, bool rising) {
    StereoBuffer in(1, input);
    StereoBuffer out(1);
    for (int32_t n = 1; n < 1000000; ++n) {
        processReplacing(engine, in, out);
        const float envelope = engine.getEnvelope();
        if (rising ? envelope >= level : envelope <= level) return n;
    }
    return -1;
}

// The time constants hosts are shown must be what the envelope really does:
// it closes all but 1/e of a step's gap in the attack time constant and
// falls to 1/e of its level in the release time constant: to the sample, or
// one more where a hundred thousand 32-bit steps have rounded.
TEST(ParameterUnits, TimeConstantsAreWhatTheEnvelopeDoes) {
    const double inverseE = std::exp(-1.0);
    for (float value : {0.0f, 0.18f, 0.55f, 1.0f}) {
        SCOPED_TRACE(value);
        CompressorEngine engine(44100.0f, 1024);
        engine.setParameter(kRatio, 0.0f);
        engine.setParameter(kAttack, value);
        engine.setParameter(kRelease, value);
        const double attack = attackTimeConstantInSamples(value);
        EXPECT_EQ(samplesToPass(engine, 1.0f, static_cast<float>(1.0 - inverseE), true),
                  static_cast<int32_t>(std::ceil(attack)));
        engine.setParameter(kAttack, 0.0f);
        samplesToPass(engine, 1.0f, 0.999999f, true);
        const float top = engine.getEnvelope();
        const double release = releaseTimeConstantInSamples(value);
        EXPECT_NEAR(samplesToPass(engine, 0.0f, static_cast<float>(top * inverseE), false), std::ceil(release),
                    1.0);
    }
}

TEST(ParameterUnits, ReadTheLawInDecibelsPercentAndMillisecondsAtTheRate) {
    EXPECT_DOUBLE_EQ(parameterValueInUnit(kThreshold, 0.6f, 44100.0), 40.0 * double(0.6f) - 40.0);
    EXPECT_DOUBLE_EQ(parameterValueInUnit(kMakeUpGain, 0.0f, 44100.0), -20.0);
    EXPECT_DOUBLE_EQ(parameterValueInUnit(kRatio, 1.0f, 44100.0), 100.0);
    EXPECT_EQ(parameterValueInUnit(kPower, 0.0f, 44100.0), 0.0);
    EXPECT_EQ(parameterValueInUnit(kPower, 0.3f, 44100.0), 1.0);
    const double at44 = parameterValueInUnit(kRelease, 0.55f, 44100.0);
    EXPECT_NEAR(at44, 1000.0 * releaseTimeConstantInSamples(0.55f) / 44100.0, 1e-12);
    EXPECT_NEAR(parameterValueInUnit(kRelease, 0.55f, 96000.0) * 96000.0, at44 * 44100.0, 1e-9);
    EXPECT_EQ(parameterValueInUnit(kParameterCount, 0.5f, 44100.0), 0.0);
}

}  // namespace
