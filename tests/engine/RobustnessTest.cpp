#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>
#include <xmmintrin.h>

#include "EngineTestSupport.h"

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Robustness, NonFiniteInputNeverLeavesTheCompressorStuck) {
    for (float bad : {kInfinity, -kInfinity, kNaN}) {
        SCOPED_TRACE(bad);
        CompressorEngine engine(44100.0f, 1024);
        CountingListener listener;
        engine.setListener(&listener);
        StereoBuffer in(2000, 0.05f), out(2000);
        in.left[100] = bad;
        processReplacing(engine, in, out);
        EXPECT_TRUE(std::isfinite(engine.getEnvelope()));
        EXPECT_TRUE(std::isfinite(engine.getVu(0)));
        // The bad sample itself passes through the gain; what follows is intact.
        EXPECT_FALSE(std::isfinite(out.left[100]) && !std::isnan(bad));
        const float makeUp = engine.getCoefficients().makeUpLevel;
        EXPECT_FLOAT_EQ(out.left.back(), 0.05f * makeUp);
        EXPECT_FLOAT_EQ(out.right[100], 0.05f * makeUp);
    }
}

// A bad sample counts as silence in its own channel only: the other
// channel's peak still drives the envelope, so the finite channel comes out
// exactly as if the bad one had been silent. Frames on both sides of the
// four-frame stride, and either channel bad.
TEST(Robustness, NonFiniteSampleInOneChannelKeepsTheOthersPeak) {
    const StereoBuffer signal = testSignal(6003);
    for (float bad : {kInfinity, -kInfinity, kNaN}) {
        for (bool badLeft : {true, false}) {
            SCOPED_TRACE(testing::Message() << bad << (badLeft ? " left" : " right"));
            StereoBuffer withBad = signal, withSilence = signal, outBad(6003), outSilence(6003);
            std::vector<float>& badChannel = badLeft ? withBad.left : withBad.right;
            std::vector<float>& silentChannel = badLeft ? withSilence.left : withSilence.right;
            for (size_t i = 0; i < badChannel.size(); i += 3) {
                badChannel[i] = bad;
                silentChannel[i] = 0.0f;
            }
            CompressorEngine badEngine(44100.0f, 1024), silentEngine(44100.0f, 1024);
            processReplacing(badEngine, withBad, outBad);
            processReplacing(silentEngine, withSilence, outSilence);
            EXPECT_EQ(badEngine.getEnvelope(), silentEngine.getEnvelope());
            EXPECT_EQ(badLeft ? outBad.right : outBad.left, badLeft ? outSilence.right : outSilence.left);
        }
    }
}

TEST(Robustness, EnvelopeIsFlushedRatherThanLeftDenormal) {
    CompressorEngine engine(44100.0f, 1024);
    engine.setParameter(kRelease, 0.0f);  // falls 20 dB in about 229 samples
    StereoBuffer loud(64, 1.0f), silence(64, 0.0f), out(64);
    processReplacing(engine, loud, out);
    for (int call = 0; call < 400; ++call) {
        processReplacing(engine, silence, out);
        const float envelope = engine.getEnvelope();
        ASSERT_TRUE(envelope == 0.0f || envelope >= FLT_MIN) << "call " << call << ": " << envelope;
    }
    EXPECT_EQ(engine.getEnvelope(), 0.0f);
}

// Whether the caller flushes denormals itself (many hosts do) or not.
TEST(Robustness, ProcessingRestoresTheCallersFloatingPointState) {
    CompressorEngine engine(44100.0f, 1024);
    const unsigned int original = _mm_getcsr();
    constexpr unsigned int kFlushFlags = 0x8040;  // flush to zero, denormals are zero
    for (const unsigned int before : {original & ~kFlushFlags, original | kFlushFlags}) {
        _mm_setcsr(before);
        StereoBuffer in = testSignal(1000), out(1000);
        processReplacing(engine, in, out);
        process(engine, in, out);
        EXPECT_EQ(_mm_getcsr(), before);
    }
    _mm_setcsr(original);
}

TEST(Robustness, DenormalInputIsTreatedAsSilence) {
    CompressorEngine engine(44100.0f, 1024);
    StereoBuffer in(100, FLT_MIN / 8.0f), out(100, 1.0f);
    processReplacing(engine, in, out);
    EXPECT_EQ(engine.getEnvelope(), 0.0f);
    for (float sample : out.left) EXPECT_EQ(sample, 0.0f);
}

}  // namespace
