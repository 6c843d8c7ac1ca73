// The effect base as a host meets it: the record it fills, the entries that
// lead from the record to the object, the flags, and the questions it asks
// the host.
#include <gtest/gtest.h>

#include <cstring>

#include "HostTestSupport.h"

namespace {

TEST(EffectRecord, HoldsTheBaseDefaultsBeforeAnyDerivedClassChangesThem) {
    RecordingEffect effect(nullptr, 3, 5);
    const AEffect* record = effect.getEffectRecord();

    EXPECT_EQ(record->magic, 0x56737450);
    EXPECT_EQ(record->numPrograms, 3);
    EXPECT_EQ(record->numParams, 5);
    EXPECT_EQ(record->numInputs, 1);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->flags, 0);
    EXPECT_EQ(record->resvd1, 0);
    EXPECT_EQ(record->resvd2, 0);
    EXPECT_EQ(record->initialDelay, 0);
    EXPECT_EQ(record->realQualities, 0);
    EXPECT_EQ(record->offQualities, 0);
    EXPECT_EQ(record->ioRatio, 1.0f);
    EXPECT_EQ(record->object, static_cast<EffectBase*>(&effect));
    EXPECT_EQ(record->user, nullptr);
    EXPECT_EQ(record->uniqueID, 0x4E6F4566);
    EXPECT_EQ(record->version, 1);
    for (char byte : record->future) EXPECT_EQ(byte, 0);
    EXPECT_NE(record->dispatcher, nullptr);
    EXPECT_NE(record->process, nullptr);
    EXPECT_NE(record->processReplacing, nullptr);
    EXPECT_NE(record->setParameter, nullptr);
    EXPECT_NE(record->getParameter, nullptr);

    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
    EXPECT_EQ(effect.getEditor(), nullptr);
}

TEST(EffectRecord, EntriesPassTheirArgumentsUnchangedToTheObject) {
    RecordingEffect effect;
    AEffect* record = effect.getEffectRecord();
    float left[4] = {}, right[4] = {};
    float* inputs[2] = {left, right};
    float* outputs[2] = {right, left};

    record->process(record, inputs, outputs, 4);
    EXPECT_EQ(effect.lastInputs, inputs);
    EXPECT_EQ(effect.lastOutputs, outputs);
    record->processReplacing(record, outputs, inputs, 3);
    EXPECT_EQ(effect.lastInputs, outputs);
    EXPECT_EQ(effect.lastOutputs, inputs);
    record->setParameter(record, 2, 0.25f);
    effect.parameterAnswer = 0.75f;
    EXPECT_EQ(record->getParameter(record, 4), 0.75f);

    EXPECT_EQ(effect.joinedLog(), "process 4; processReplacing 3; setParameter 2 0.250000; getParameter 4");
}

TEST(EffectRecord, AHostPassingNoRecordReachesNothing) {
    RecordingEffect effect;
    AEffect* record = effect.getEffectRecord();

    EXPECT_EQ(record->dispatcher(nullptr, effGetProgram, 0, 0, nullptr, 0.0f), 0);
    record->process(nullptr, nullptr, nullptr, 16);
    record->processReplacing(nullptr, nullptr, nullptr, 16);
    record->setParameter(nullptr, 0, 1.0f);
    EXPECT_EQ(record->getParameter(nullptr, 0), 0.0f);
    EXPECT_TRUE(effect.calls.empty());
}

TEST(EffectRecord, CloseThroughTheRecordClosesAndDeletesTheObjectAndItsEditor) {
    std::string lastWords;
    bool editorDestroyed = false;
    auto* effect = new RecordingEffect;
    auto* editor = new RecordingEditor(effect);
    effect->setEditor(editor);
    effect->lastWords = &lastWords;
    editor->destroyed = &editorDestroyed;
    AEffect* record = effect->getEffectRecord();

    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(lastWords, "close; destroyed");
    EXPECT_TRUE(editorDestroyed);
}

TEST(EffectRecord, OtherOpcodesReturnWhatTheDispatcherReturns) {
    RecordingEffect effect(nullptr, 8, 0);
    dispatch(effect, effSetProgram, 0, 6);
    EXPECT_EQ(dispatch(effect, effGetProgram), 6);
    EXPECT_EQ(dispatch(effect, effIdentify), 0x4E764566);
}

// Each setter owns one bit and leaves the others alone; only the low 16 bits
// of its argument count.
TEST(EffectFlags, EachSetterChangesOnlyItsOwnBit) {
    struct Setter {
        void (EffectBase::*set)(HostBool);
        int32_t bit;
    };
    const Setter setters[] = {
        {&EffectBase::setHasClip, 2},      {&EffectBase::setHasVu, 4},         {&EffectBase::setCanMono, 8},
        {&EffectBase::setCanReplacing, 16}, {&EffectBase::setProgramChunks, 32},
    };
    for (const Setter& setter : setters) {
        RecordingEffect effect;
        AEffect* record = effect.getEffectRecord();
        record->flags = effFlagsHasEditor | 0x40;

        (effect.*setter.set)(1);
        EXPECT_EQ(record->flags, effFlagsHasEditor | 0x40 | setter.bit);
        (effect.*setter.set)(1);
        EXPECT_EQ(record->flags, effFlagsHasEditor | 0x40 | setter.bit);
        (effect.*setter.set)(0);
        EXPECT_EQ(record->flags, effFlagsHasEditor | 0x40);

        const int32_t onlyHighBits = 0x10000;
        (effect.*setter.set)(-1);
        (effect.*setter.set)(static_cast<HostBool>(onlyHighBits));
        EXPECT_EQ(record->flags, effFlagsHasEditor | 0x40) << "bit " << setter.bit;
    }
}

TEST(EffectFlags, ClearingCanMonoKeepsTheEditorAndReplacingBits) {
    RecordingEffect effect;
    AEffect* record = effect.getEffectRecord();
    record->flags = effFlagsHasEditor;
    effect.setCanMono(1);
    effect.setCanReplacing(1);
    EXPECT_EQ(record->flags, 0x19);
    effect.setCanMono(0);
    EXPECT_EQ(record->flags, 0x11);
}

TEST(EffectDefaults, TextOperationsLeaveEmptyTextsAndChunksAreEmpty) {
    struct PlainEffect : EffectBase {
        PlainEffect() : EffectBase(nullptr, 0, 0) {}
        void process(float**, float**, int32_t) override {}
    } effect;
    char text[16];
    void (EffectBase::*textOperations[])(char*) = {&EffectBase::setProgramName, &EffectBase::getProgramName};
    for (auto operation : textOperations) {
        std::strcpy(text, "leftover");
        (effect.*operation)(text);
        EXPECT_STREQ(text, "");
    }
    void (EffectBase::*indexedTextOperations[])(int32_t, char*) = {
        &EffectBase::getParamLabel, &EffectBase::getParamDisplay, &EffectBase::getParamName};
    for (auto operation : indexedTextOperations) {
        std::strcpy(text, "leftover");
        (effect.*operation)(3, text);
        EXPECT_STREQ(text, "");
    }

    // No names to list: nothing is written, and the version is the record's.
    std::strcpy(text, "leftover");
    EXPECT_EQ(effect.getEffectName(text), 0);
    EXPECT_EQ(effect.getVendorString(text), 0);
    EXPECT_EQ(effect.getProductString(text), 0);
    EXPECT_EQ(effect.getProgramNameIndexed(-1, 0, text), 0);
    EXPECT_STREQ(text, "leftover");
    EXPECT_EQ(effect.canParameterBeAutomated(0), 0);
    EXPECT_EQ(effect.getPlugCategory(), 0);
    effect.getEffectRecord()->version = 7;
    EXPECT_EQ(effect.getVendorVersion(), 7);
    EXPECT_EQ(effect.getVstVersion(), 0);

    void* chunk = &effect;
    EXPECT_EQ(effect.getChunk(&chunk, 1), 0);
    EXPECT_EQ(chunk, &effect);
    EXPECT_EQ(effect.setChunk(text, 8, 0), 0);
    EXPECT_EQ(effect.getParameter(0), 0.0f);
    EXPECT_EQ(effect.getVu(), 0.0f);
}

// --- Questions to the host ----------------------------------------------------

TEST(HostQueries, AskTheHostAboutTheirOwnRecord) {
    FakeHost host;
    RecordingEffect effect(FakeHost::callback);
    host.versionAnswer = 2400;
    host.answer = 77;

    EXPECT_EQ(effect.getHostVersion(), 2400);
    EXPECT_EQ(effect.getHostCurrentId(), 77);
    effect.hostIdle();
    effect.isInputPinConnected(3);
    effect.isOutputPinConnected(5);

    ASSERT_EQ(host.calls.size(), 5u);
    const int32_t opcodes[] = {audioMasterVersion, audioMasterCurrentId, audioMasterIdle, audioMasterPinConnected,
                               audioMasterPinConnected};
    for (size_t i = 0; i < host.calls.size(); ++i) {
        EXPECT_EQ(host.calls[i].effect, effect.getEffectRecord());
        EXPECT_EQ(host.calls[i].opcode, opcodes[i]);
        EXPECT_EQ(host.calls[i].ptr, nullptr);
        EXPECT_EQ(host.calls[i].opt, 0.0f);
    }
    EXPECT_EQ(host.calls[3].index, 3);
    EXPECT_EQ(host.calls[3].value, 0);  // an input pin
    EXPECT_EQ(host.calls[4].index, 5);
    EXPECT_EQ(host.calls[4].value, 1);  // an output pin
}

TEST(HostQueries, AHostThatSaysNothingIsAVersionOneHostWithEveryPinConnected) {
    FakeHost host;
    RecordingEffect effect(FakeHost::callback);
    host.versionAnswer = 0;
    host.answer = 0;
    EXPECT_EQ(effect.getHostVersion(), 1);
    EXPECT_EQ(effect.getHostCurrentId(), 0);
    EXPECT_EQ(effect.isInputPinConnected(0), 1);
    EXPECT_EQ(effect.isOutputPinConnected(0), 1);

    host.answer = 1;
    EXPECT_EQ(effect.isInputPinConnected(0), 0);
    EXPECT_EQ(effect.isOutputPinConnected(0), 0);
}

TEST(HostQueries, WithoutACallbackTheQueriesAnswerForTheHost) {
    RecordingEffect effect(nullptr);
    EXPECT_EQ(effect.getHostVersion(), 1);
    EXPECT_EQ(effect.getHostCurrentId(), 0);
    effect.hostIdle();
    EXPECT_EQ(effect.isInputPinConnected(0), 1);
    EXPECT_EQ(effect.isOutputPinConnected(1), 1);
}

TEST(HostQueries, AutomationSetsTheParameterBeforeTellingTheHost) {
    FakeHost host;
    RecordingEffect effect(FakeHost::callback);
    host.sharedLog = &effect.calls;

    effect.automateParameter(4, 0.5f);
    EXPECT_EQ(effect.joinedLog(), "setParameter 4 0.500000; host 0");
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].index, 4);
    EXPECT_EQ(host.calls[0].value, 0);
    EXPECT_EQ(host.calls[0].opt, 0.5f);
}

TEST(HostQueries, AutomationWithoutACallbackStillSetsTheParameter) {
    RecordingEffect effect(nullptr);
    effect.automateParameter(1, 0.25f);
    EXPECT_EQ(effect.joinedLog(), "setParameter 1 0.250000");
}

TEST(HostQueries, TheConstructorAsksTheHostNothing) {
    FakeHost host;
    RecordingEffect effect(FakeHost::callback, 2, 2);
    EXPECT_TRUE(host.calls.empty());
}

}  // namespace
