// The compressor plug-in as a host gets it from the entry point: the record it
// reports, the host's parameter calls that reach the engine's six parameters,
// and the processing calls that reach the engine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "ProductVersion.h"
#include "engine/Allocation.h"
#include "engine/CompressorPlugin.h"
#include "host/ModuleInstance.h"
#include "host/PluginEntry.h"

namespace {

// A block of test signal with loud and quiet stretches, and the arrays a host
// hands over for it.
struct HostBlock {
    explicit HostBlock(int32_t frames, float fill = 0.0f)
        : inLeft(frames), inRight(frames), outLeft(frames, fill), outRight(frames, fill) {
        uint32_t seed = 99;
        for (int32_t i = 0; i < frames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const float noise = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
            const float loudness = (i / 700) % 2 ? 0.04f : 1.6f;
            inLeft[i] = loudness * noise;
            inRight[i] = -0.5f * loudness * noise;
        }
    }
    int32_t frames() const { return static_cast<int32_t>(inLeft.size()); }
    float** inputs() { return inputArrays; }
    float** outputs() { return outputArrays; }

    std::vector<float> inLeft, inRight, outLeft, outRight;
    float* inputArrays[2] = {inLeft.data(), inRight.data()};
    float* outputArrays[2] = {outLeft.data(), outRight.data()};
};

class PluginFromEntry : public ::testing::Test {
protected:
    void SetUp() override {
        record = pluginMain(FakeHost::callback);
        ASSERT_NE(record, nullptr);
    }
    void TearDown() override {
        if (record) {
            EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
        }
    }
    CompressorPlugin& plugin() { return *static_cast<CompressorPlugin*>(static_cast<EffectBase*>(record->object)); }
    CompressorEngine& engine() { return *plugin().getEngine(); }

    FakeHost host;
    AEffect* record = nullptr;
};

TEST_F(PluginFromEntry, ReportsAStereoEffectWithAnEditorChunksParametersAndPrograms) {
    EXPECT_EQ(record->magic, fourCharCode("VstP"));
    EXPECT_EQ(record->numPrograms, 4);
    EXPECT_EQ(record->numParams, 6);
    EXPECT_EQ(record->numInputs, 2);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->flags, effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing | effFlagsProgramChunks);
    EXPECT_EQ(record->ioRatio, 1.0f);
    EXPECT_EQ(record->version, ZQ3R_VERSION_CODE);
    EXPECT_EQ(record->uniqueID, 0x5A513352);  // 'Z' 'Q' '3' 'R' from the top byte down
    EXPECT_EQ(plugin().getEffectRecord(), record);
    EXPECT_NE(plugin().getEditor(), nullptr);
    ERect* rect = nullptr;
    EXPECT_EQ(record->dispatcher(record, effEditGetRect, 0, 0, &rect, 0.0f), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 119);
    EXPECT_EQ(rect->right, 304);
}

// Hosts show the record's version digit by digit: it must read as the
// release's version, whatever the release.
TEST_F(PluginFromEntry, ItsVersionReadsAsTheReleaseDigitByDigit) {
    const int32_t version = record->version;
    ASSERT_GE(version, 1000) << "a version below 1.0.0 reads as nothing";
    const std::string shown = std::to_string(version / 1000) + "." + std::to_string(version / 100 % 10) + "." +
                              std::to_string(version / 10 % 10);
    EXPECT_EQ(shown, ZQ3R_VERSION_TEXT);
}

TEST_F(PluginFromEntry, AsksTheHostOnlyForItsVersion) {
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].effect, nullptr);
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
}

TEST_F(PluginFromEntry, StartsOnTheFirstFactoryProgram) {
    EXPECT_EQ(engine().getCurrentProgram(), 0);
    EXPECT_EQ(engine().getParameter(kProgramPosition), 0.0f);
    EXPECT_EQ(engine().getParameter(kRatio), 0.5f);
    EXPECT_EQ(engine().getParameter(kThreshold), 0.6f);
    EXPECT_EQ(engine().getMeterInterval(), 881);
}

// The host's parameters are the engine's six, as the knobs hold them; the
// program commands and the program position are none of the host's.
TEST_F(PluginFromEntry, HostParametersAreTheEnginesSixAndTheMeterReachesTheHost) {
    record->setParameter(record, kRatio, 0.9f);
    EXPECT_EQ(engine().getParameter(kRatio), 0.9f);
    engine().setParameter(kThreshold, 0.2f);
    EXPECT_EQ(record->getParameter(record, kThreshold), 0.2f);
    record->setParameter(record, kNextCommand, 1.0f);
    EXPECT_EQ(engine().getCurrentProgram(), 0);
    engine().setParameter(kNextCommand, 1.0f);
    EXPECT_EQ(record->getParameter(record, kProgramPosition), 0.0f);

    HostBlock block(2048);
    record->processReplacing(record, block.inputs(), block.outputs(), block.frames());
    ASSERT_GT(engine().getVu(0), 0.0f) << "the signal should have been compressed";
    EXPECT_EQ(record->dispatcher(record, effGetVu, 0, 0, nullptr, 0.0f),
              static_cast<intptr_t>(static_cast<double>(engine().getVu(0)) * 32767.0));
}

TEST_F(PluginFromEntry, ProcessingCallsReachTheEngineWithLeftAndRightInPlace) {
    CompressorEngine reference(44100.0f, 1024);
    HostBlock replaced(3000, 7.0f);
    HostBlock expected(3000, 7.0f);
    record->processReplacing(record, replaced.inputs(), replaced.outputs(), replaced.frames());
    reference.processReplacing(expected.inLeft.data(), expected.inRight.data(), expected.outLeft.data(),
                               expected.outRight.data(), expected.frames());
    EXPECT_EQ(replaced.outLeft, expected.outLeft);
    EXPECT_EQ(replaced.outRight, expected.outRight);

    HostBlock added(1500, 0.25f);
    HostBlock expectedAdded(1500, 0.25f);
    record->process(record, added.inputs(), added.outputs(), added.frames());
    reference.process(expectedAdded.inLeft.data(), expectedAdded.inRight.data(), expectedAdded.outLeft.data(),
                      expectedAdded.outRight.data(), expectedAdded.frames());
    EXPECT_EQ(added.outLeft, expectedAdded.outLeft);
    EXPECT_EQ(added.outRight, expectedAdded.outRight);
    EXPECT_NE(added.outLeft[10], 0.25f) << "process adds to what the host left in the outputs";
}

TEST_F(PluginFromEntry, AHostSampleRateDoesNotMoveTheMeterInterval) {
    record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(plugin().getSampleRate(), 48000.0f);
    EXPECT_EQ(engine().getMeterInterval(), 881);
}

// Blocks a host should not send are ignored: nothing is read or written and
// the detector keeps its state.
TEST_F(PluginFromEntry, IncompleteBlocksAreIgnored) {
    HostBlock warmUp(512);
    record->processReplacing(record, warmUp.inputs(), warmUp.outputs(), warmUp.frames());
    const float envelope = engine().getEnvelope();
    ASSERT_GT(envelope, 0.0f);

    HostBlock block(64, 3.0f);
    float* noChannel[2] = {nullptr, nullptr};
    float* leftOnly[2] = {block.inLeft.data(), nullptr};
    float* rightOnly[2] = {nullptr, block.outRight.data()};
    for (auto entry : {record->process, record->processReplacing}) {
        entry(record, nullptr, block.outputs(), 64);
        entry(record, block.inputs(), nullptr, 64);
        entry(record, noChannel, block.outputs(), 64);
        entry(record, leftOnly, block.outputs(), 64);
        entry(record, block.inputs(), rightOnly, 64);
        entry(record, block.inputs(), block.outputs(), 0);
        entry(record, block.inputs(), block.outputs(), -64);
    }
    EXPECT_EQ(block.outLeft, std::vector<float>(64, 3.0f));
    EXPECT_EQ(block.outRight, std::vector<float>(64, 3.0f));
    EXPECT_EQ(engine().getEnvelope(), envelope);
}

TEST(PluginEntry, RefusesHostsThatGiveNoCallbackOrDoNotAnswer) {
    EXPECT_EQ(pluginMain(nullptr), nullptr);

    FakeHost host;
    host.versionAnswer = 0;
    const int32_t allocationsBefore = allocationsMade();
    EXPECT_EQ(pluginMain(FakeHost::callback), nullptr);
    EXPECT_EQ(allocationsMade(), allocationsBefore) << "nothing is built for a host that does not answer";
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
}

TEST(PluginEntry, EveryCallBuildsAnInstanceOfItsOwn) {
    FakeHost host;
    AEffect* first = pluginMain(FakeHost::callback);
    AEffect* second = pluginMain(FakeHost::callback);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first->object, second->object);
    EXPECT_EQ(first->dispatcher(first, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST(PluginEntry, TheProgramIsThePluginsModule) { EXPECT_NE(moduleInstance, nullptr); }

}  // namespace
