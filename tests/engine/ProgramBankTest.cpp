#include <gtest/gtest.h>

#include <array>

#include "EngineTestSupport.h"
#include "engine/FactoryPrograms.h"

namespace {

using Values = std::array<float, kParameterCount>;

Values liveParameters(CompressorEngine& engine) {
    Values values{};
    for (int32_t k = 0; k < kParameterCount; ++k) values[k] = engine.getParameter(k);
    return values;
}

Values factory(int32_t program) {
    Values values{};
    for (int32_t k = 0; k < kParameterCount; ++k) values[k] = factoryPrograms[program][k];
    return values;
}

class ProgramBank : public ::testing::Test {
protected:
    void SetUp() override { engine.setListener(&listener); }
    void command(int32_t index, float value = 0.0f) { engine.setParameter(index, value); }

    CompressorEngine engine{44100.0f, 1024};
    CountingListener listener;
};

TEST_F(ProgramBank, StartsOnTheFirstFactoryProgram) {
    EXPECT_EQ(liveParameters(engine), (Values{0.0f, 0.5f, 0.6f, 0.18f, 0.55f, 0.6f}));
    EXPECT_EQ(engine.getParameter(kProgramPosition), 0.0f);
    EXPECT_EQ(engine.getCurrentProgram(), 0);
}

TEST_F(ProgramBank, NextAndPreviousWrapAroundAndLoadFactoryValues) {
    const int32_t expectedAfterNext[] = {1, 2, 3, 0, 1};
    for (int32_t expected : expectedAfterNext) {
        command(kNextCommand);
        EXPECT_EQ(engine.getCurrentProgram(), expected);
        EXPECT_EQ(liveParameters(engine), factory(expected));
    }
    const int32_t expectedAfterPrevious[] = {0, 3, 2};
    for (int32_t expected : expectedAfterPrevious) {
        command(kPreviousCommand);
        EXPECT_EQ(engine.getCurrentProgram(), expected);
    }
}

TEST_F(ProgramBank, PositionIsTheProgramOverTheLastIndexAsAFloat) {
    const float expected[] = {1.0f / 3.0f, 2.0f / 3.0f, 1.0f, 0.0f};
    for (float position : expected) {
        command(kNextCommand, 1.0f);
        EXPECT_EQ(engine.getParameter(kProgramPosition), position);
    }
    command(kNextCommand);
    command(kNextCommand);
    EXPECT_EQ(engine.getParameter(kProgramPosition), 0.6666667f);
}

TEST_F(ProgramBank, CommandsIgnoreTheirValue) {
    command(kNextCommand, 0.0f);
    command(kNextCommand, 1.0f);
    command(kNextCommand, -3.0f);
    EXPECT_EQ(engine.getCurrentProgram(), 3);
}

TEST_F(ProgramBank, ResetDropsAKnobTurn) {
    command(kNextCommand);
    engine.setParameter(kThreshold, 0.1f);
    command(kResetCommand);
    EXPECT_EQ(liveParameters(engine), factory(1));
    EXPECT_NEAR(engine.getCoefficients().thresholdLevel, 0.158489f, 1e-6);
}

TEST_F(ProgramBank, PasteBeforeAnyCopyLoadsZerosAndAttenuatesTwentyDecibels) {
    command(kPasteCommand);
    EXPECT_EQ(liveParameters(engine), Values{});
    StereoBuffer in = testSignal(2000), out(2000);
    processReplacing(engine, in, out);
    for (int32_t i = 0; i < in.frames(); ++i) ASSERT_NEAR(out.left[i], in.left[i] * 0.1f, 1e-7f) << i;
}

TEST_F(ProgramBank, CopyNextPasteCarriesSettingsToTheNextProgramPosition) {
    engine.setParameter(kRatio, 0.8f);
    engine.setParameter(kMakeUpGain, 0.3f);
    const Values copied = liveParameters(engine);
    command(kCopyCommand);
    command(kNextCommand);
    command(kPasteCommand);
    EXPECT_EQ(liveParameters(engine), copied);
    EXPECT_EQ(engine.getCurrentProgram(), 1);
    // The factory programs are untouched; Reset returns to program 1's values.
    command(kResetCommand);
    EXPECT_EQ(liveParameters(engine), factory(1));
}

TEST_F(ProgramBank, EveryCommandRedrawsTheControlsExactlyOnce) {
    for (int32_t index = kResetCommand; index <= kRefreshCommand; ++index) {
        SCOPED_TRACE(index);
        const int before = listener.controlUpdates;
        command(index);
        EXPECT_EQ(listener.controlUpdates, before + 1);
    }
    const int before = listener.controlUpdates;
    engine.setParameter(kRatio, 0.3f);
    engine.storeProgram(4);
    EXPECT_EQ(listener.controlUpdates, before);
    engine.loadProgram(2);
    EXPECT_EQ(listener.controlUpdates, before + 1);
}

TEST_F(ProgramBank, IndicesOutsideTheBankAreIgnored) {
    const Values before = liveParameters(engine);
    engine.loadProgram(-1);
    engine.loadProgram(5);
    engine.storeProgram(99);
    EXPECT_EQ(liveParameters(engine), before);
    EXPECT_EQ(listener.controlUpdates, 0);
}

}  // namespace
