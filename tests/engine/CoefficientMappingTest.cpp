#include <gtest/gtest.h>

#include "engine/CoefficientMapping.h"
#include "engine/CompressorEngine.h"

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

}  // namespace
