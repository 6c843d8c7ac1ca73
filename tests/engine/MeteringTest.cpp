#include <gtest/gtest.h>

#include "EngineTestSupport.h"

namespace {

TEST(Metering, IntervalIsTwentyMillisecondsTruncatedAtTheConstructionRate) {
    EXPECT_EQ(CompressorEngine(44100.0f, 1024).getMeterInterval(), 881);  // not 882
    // The factor is the float just below 0.02, so exact products fall short.
    EXPECT_EQ(CompressorEngine(48000.0f, 512).getMeterInterval(), 959);
    EXPECT_EQ(CompressorEngine(22050.0f, 512).getMeterInterval(), 440);
}

TEST(Metering, UpdatesOncePerIntervalFromAFreshStart) {
    struct Case {
        int32_t frames;
        int updates;
    };
    for (const Case& c : {Case{880, 0}, Case{881, 1}, Case{1024, 1}, Case{1762, 2}, Case{1763, 2}}) {
        SCOPED_TRACE(c.frames);
        CompressorEngine engine(44100.0f, 1024);
        CountingListener listener;
        engine.setListener(&listener);
        StereoBuffer in(c.frames, 0.5f), out(c.frames);
        processReplacing(engine, in, out);
        EXPECT_EQ(listener.meterUpdates, c.updates);
    }
}

TEST(Metering, CountsSamplesAcrossCallsSoShortBlocksStillMeter) {
    CompressorEngine engine(44100.0f, 1024);
    CountingListener listener;
    engine.setListener(&listener);
    StereoBuffer in(512, 0.5f), out(512);
    processReplacing(engine, in, out);
    EXPECT_EQ(listener.meterUpdates, 0);
    processReplacing(engine, in, out);  // sample 881 lies in this call
    EXPECT_EQ(listener.meterUpdates, 1);
    for (int call = 0; call < 98; ++call) processReplacing(engine, in, out);
    EXPECT_EQ(listener.meterUpdates, 100 * 512 / 881);
    // Bypass keeps counting.
    engine.setParameter(kPower, 1.0f);
    for (int call = 0; call < 100; ++call) process(engine, in, out);
    EXPECT_EQ(listener.meterUpdates, 200 * 512 / 881);
}

TEST(Metering, PublishesTheReductionAtTheMeterPoint) {
    CompressorEngine engine(44100.0f, 1024);
    const auto c = engine.getCoefficients();
    CountingListener listener;
    engine.setListener(&listener);
    StereoBuffer in(881, 0.9f), out(881);
    processReplacing(engine, in, out);
    // The last frame of the interval decides: envelope minus output level.
    const float envelope = engine.getEnvelope();
    const float gain = out.left.back() / (0.9f * c.makeUpLevel);
    EXPECT_NEAR(engine.getVu(0), envelope - envelope * gain, 1e-5);
    EXPECT_GT(engine.getVu(0), 0.3f);
    EXPECT_EQ(engine.getVu(1), 0.0f);
}

TEST(Metering, WithoutListenerTheValueIsStillStoredAndNothingIsCalled) {
    CompressorEngine engine(44100.0f, 1024);
    StereoBuffer in(881, 0.9f), out(881);
    processReplacing(engine, in, out);
    EXPECT_GT(engine.getVu(0), 0.0f);

    CountingListener listener;
    engine.setListener(&listener);
    engine.setListener(nullptr);
    processReplacing(engine, in, out);
    engine.setParameter(kRefreshCommand, 0.0f);
    EXPECT_EQ(listener.meterUpdates + listener.controlUpdates, 0);
}

TEST(Metering, EmptyAndNegativeCallsWriteNothing) {
    CompressorEngine engine(44100.0f, 1024);
    CountingListener listener;
    engine.setListener(&listener);
    StereoBuffer in(4, 0.5f), out(4, 7.0f);
    engine.processReplacing(in.left.data(), in.right.data(), out.left.data(), out.right.data(), 0);
    engine.process(in.left.data(), in.right.data(), out.left.data(), out.right.data(), -5);
    engine.processReplacing(nullptr, in.right.data(), out.left.data(), out.right.data(), 4);
    EXPECT_EQ(out.left, std::vector<float>(4, 7.0f));
    EXPECT_EQ(listener.meterUpdates, 0);
    EXPECT_EQ(engine.getEnvelope(), 0.0f);
}

TEST(Metering, RateTooLowForAnIntervalNeverMeters) {
    CompressorEngine engine(10.0f, 64);  // 0.2 samples: no interval at all
    CountingListener listener;
    engine.setListener(&listener);
    StereoBuffer in(100, 0.5f), out(100);
    processReplacing(engine, in, out);
    EXPECT_EQ(listener.meterUpdates, 0);
    EXPECT_GT(engine.getEnvelope(), 0.0f);
}

}  // namespace
