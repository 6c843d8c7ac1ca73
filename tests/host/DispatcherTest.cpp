// The dispatcher: which operation each opcode reaches, with which operands,
// and what the host gets back.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "HostTestSupport.h"
#include "host/HostWindowSystem.h"

namespace {

char textBuffer[64];

struct OpcodeRow {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
    const char* reaches;  // the effect's operations, in order
    intptr_t result;
};

// The table as hosts depend on it. The effect answers 11 for chunks.
const OpcodeRow opcodeTable[] = {
    {effOpen, 0, 0, nullptr, 0, "open", 0},
    {effClose, 0, 0, nullptr, 0, "close", 0},
    {effSetProgram, 0, 3, nullptr, 0, "setProgram 3", 0},
    {effGetProgram, 0, 0, nullptr, 0, "", 0},
    {effSetProgramName, 0, 0, textBuffer, 0, "setProgramName", 0},
    {effGetProgramName, 0, 0, textBuffer, 0, "getProgramName", 0},
    {effGetParamLabel, 5, 0, textBuffer, 0, "getParamLabel 5", 0},
    {effGetParamDisplay, 6, 0, textBuffer, 0, "getParamDisplay 6", 0},
    {effGetParamName, 7, 0, textBuffer, 0, "getParamName 7", 0},
    {effGetVu, 0, 0, nullptr, 0, "", 0},
    {effSetSampleRate, 0, 22050, nullptr, 48000.0f, "setSampleRate 48000.000000", 0},
    {effSetBlockSize, 0, 256, nullptr, 512.0f, "setBlockSize 256", 0},
    {effMainsChanged, 0, 0, nullptr, 0, "mainsOff", 0},
    {effMainsChanged, 0, 1, nullptr, 0, "mainsOn", 0},
    {effMainsChanged, 0, -1, nullptr, 0, "mainsOn", 0},
    {effIdentify, 0, 0, nullptr, 0, "", 0x4E764566},
    {effGetChunk, 5, 0, textBuffer, 0, "getChunk 1", 11},
    {effGetChunk, 0, 0, textBuffer, 0, "getChunk 0", 11},
    {effSetChunk, -2, 40, textBuffer, 0, "setChunk 40 1", 11},
    {effSetChunk, 0, 40, textBuffer, 0, "setChunk 40 0", 11},
    // Editor opcodes that the editor's own window takes care of: accepted,
    // and nothing is called.
    {effEditDraw, 0, 0, textBuffer, 0, "", 0},
    {effEditMouse, 0, 0, textBuffer, 0, "", 0},
    {effEditKey, 0, 0, textBuffer, 0, "", 0},
    {effEditTop, 0, 0, nullptr, 0, "", 0},
    {effEditSleep, 0, 0, nullptr, 0, "", 0},
    // What hosts list: answered 1 when the text was written.
    {effCanBeAutomated, 3, 0, nullptr, 0, "canParameterBeAutomated 3", 1},
    {effGetProgramNameIndexed, 2, -1, textBuffer, 0, "getProgramNameIndexed -1 2", 1},
    {effGetPlugCategory, 0, 0, nullptr, 0, "getPlugCategory", 5},
    {effGetEffectName, 0, 0, textBuffer, 0, "getEffectName", 1},
    {effGetVendorString, 0, 0, textBuffer, 0, "getVendorString", 1},
    {effGetProductString, 0, 0, textBuffer, 0, "getProductString", 1},
    {effGetVendorVersion, 0, 0, nullptr, 0, "getVendorVersion", 1234},
    {effGetVstVersion, 0, 0, nullptr, 0, "getVstVersion", 2300},
    // Opcodes between and beyond those, negative ones included.
    {25, 0, 0, textBuffer, 0, "", 0},
    {27, 1, 0, textBuffer, 0, "", 0},
    {46, 0, 0, textBuffer, 0, "", 0},
    {50, 0, 0, textBuffer, 0, "", 0},
    {59, 0, 0, textBuffer, 0, "", 0},
    {1000, 0, 0, textBuffer, 0, "", 0},
    {-1, 0, 0, textBuffer, 0, "", 0},
};

TEST(Dispatcher, EachOpcodeReachesItsOperationWithItsOperands) {
    for (const OpcodeRow& row : opcodeTable) {
        RecordingEffect effect(nullptr, 4, 0);
        effect.chunkAnswer = 11;
        // Called directly: through the record, effClose would delete the effect.
        EXPECT_EQ(effect.dispatcher(row.opcode, row.index, row.value, row.ptr, row.opt), row.result)
            << "opcode " << row.opcode;
        EXPECT_EQ(effect.joinedLog(), row.reaches) << "opcode " << row.opcode;
        if (row.opcode == effGetChunk || row.opcode == effSetChunk) {
            EXPECT_EQ(effect.chunkPointer, row.ptr);
        }
    }
}

TEST(Dispatcher, SampleRateComesFromOptAndBlockSizeFromValue) {
    RecordingEffect effect;
    dispatch(effect, effSetSampleRate, 0, 96000, nullptr, 48000.0f);
    dispatch(effect, effSetBlockSize, 0, 256, nullptr, 512.0f);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    EXPECT_EQ(effect.getBlockSize(), 256);
}

TEST(Dispatcher, ProgramNumbersOutsideTheBankAreIgnored) {
    RecordingEffect effect(nullptr, 4, 0);
    dispatch(effect, effSetProgram, 0, 3);
    EXPECT_EQ(dispatch(effect, effGetProgram), 3);
    dispatch(effect, effSetProgram, 0, 4);
    dispatch(effect, effSetProgram, 0, -1);
    dispatch(effect, effSetProgram, 0, INT32_MIN);
    EXPECT_EQ(dispatch(effect, effGetProgram), 3);
    EXPECT_EQ(effect.joinedLog(), "setProgram 3");
}

TEST(Dispatcher, WithoutProgramsNoProgramIsEverSet) {
    RecordingEffect effect(nullptr, 0, 0);
    dispatch(effect, effSetProgram, 0, 0);
    dispatch(effect, effSetProgram, 0, 2);
    EXPECT_EQ(dispatch(effect, effGetProgram), 0);
    EXPECT_TRUE(effect.calls.empty());
}

TEST(Dispatcher, OpcodesThatWriteThroughPtrWriteNothingWhenItIsNull) {
    const int32_t opcodes[] = {effSetProgramName,        effGetProgramName, effGetParamLabel,   effGetParamDisplay,
                               effGetParamName,          effEditGetRect,    effGetChunk,        effSetChunk,
                               effGetProgramNameIndexed, effGetEffectName,  effGetVendorString, effGetProductString};
    for (int32_t opcode : opcodes) {
        RecordingEffect effect(nullptr, 4, 0);
        auto* editor = new RecordingEditor(&effect);
        effect.setEditor(editor);
        effect.chunkAnswer = 11;
        EXPECT_EQ(dispatch(effect, opcode, 1, 16, nullptr), 0) << "opcode " << opcode;
        EXPECT_TRUE(effect.calls.empty()) << "opcode " << opcode;
        EXPECT_TRUE(editor->calls.empty()) << "opcode " << opcode;
    }
}

// --- The meter --------------------------------------------------------------------

intptr_t vuFor(float level) {
    RecordingEffect effect;
    effect.vuAnswer = level;
    return dispatch(effect, effGetVu);
}

TEST(Dispatcher, MeterReadsOnASixteenBitScaleTruncatedTowardZero) {
    EXPECT_EQ(vuFor(0.0f), 0);
    EXPECT_EQ(vuFor(1.0f), 32767);
    EXPECT_EQ(vuFor(0.5f), 16383);
    EXPECT_EQ(vuFor(0.99999f), 32766);
    EXPECT_EQ(vuFor(-0.5f), -16383);
}

TEST(Dispatcher, MeterOutsideTheIntegerRangeSaturates) {
    EXPECT_EQ(vuFor(1.0e6f), INT32_MAX);
    EXPECT_EQ(vuFor(-1.0e6f), INT32_MIN);
    EXPECT_EQ(vuFor(std::numeric_limits<float>::infinity()), INT32_MAX);
    EXPECT_EQ(vuFor(-std::numeric_limits<float>::infinity()), INT32_MIN);
    EXPECT_EQ(vuFor(std::nanf("")), 0);
    // The largest level that still fits, and the first that does not.
    EXPECT_EQ(vuFor(65538.0f), 2147483646);
    EXPECT_EQ(vuFor(65540.0f), INT32_MAX);
}

// --- Editor opcodes ------------------------------------------------------------------

TEST(DispatcherEditor, WithoutAnEditorEditorOpcodesAnswerZero) {
    RecordingEffect effect;
    ERect* rect = reinterpret_cast<ERect*>(&effect);
    EXPECT_EQ(dispatch(effect, effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, reinterpret_cast<ERect*>(&effect));
    EXPECT_EQ(dispatch(effect, effEditOpen, 0, 0, textBuffer), 0);
    EXPECT_EQ(dispatch(effect, effEditClose), 0);
    EXPECT_EQ(dispatch(effect, effEditIdle), 0);
    EXPECT_TRUE(effect.calls.empty());
}

TEST(DispatcherEditor, FourOpcodesReachTheEditorAndTheRestNever) {
    RecordingEffect effect;
    auto* editor = new RecordingEditor(&effect);
    effect.setEditor(editor);
    HWND hostWindow = reinterpret_cast<HWND>(textBuffer);

    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effect, effEditGetRect, 0, 0, &rect), 7);
    EXPECT_EQ(rect, &editor->rectangle);
    EXPECT_EQ(dispatch(effect, effEditOpen, 0, 0, hostWindow), 9);
    EXPECT_EQ(editor->getHostWindow(), hostWindow);
    EXPECT_EQ(dispatch(effect, effEditIdle), 0);
    EXPECT_EQ(dispatch(effect, effEditClose), 0);
    for (int32_t opcode : {effEditDraw, effEditMouse, effEditKey, effEditTop, effEditSleep})
        EXPECT_EQ(dispatch(effect, opcode, 0, 0, textBuffer), 0);

    const std::vector<std::string> expected = {"getRect", "open", "idle", "close"};
    EXPECT_EQ(editor->calls, expected);
}

// A library's window system decides what the host's pointer names and which
// thread serves the editor's windows, and is served after the editor opcodes
// that change or idle the editor.
std::vector<std::string>* windowSystemCalls = nullptr;
bool editorServedHere = true;

bool onlyTextBufferIsAWindow(void* hostWindow, HWND* window) {
    windowSystemCalls->push_back("windowOf");
    *window = reinterpret_cast<HWND>(textBuffer + 1);
    return hostWindow == textBuffer;
}

bool answerServedHere(HWND window) {
    EXPECT_EQ(window, reinterpret_cast<HWND>(textBuffer + 1));
    windowSystemCalls->push_back("servedHere");
    return editorServedHere;
}

void recordService() { windowSystemCalls->push_back("service"); }

class DispatcherWindowSystem : public ::testing::Test {
protected:
    void SetUp() override {
        editor = new RecordingEditor(&effect);
        effect.setEditor(editor);
        windowSystemCalls = &calls;
        editorServedHere = true;
        installHostWindowSystem(HostWindowSystem{onlyTextBufferIsAWindow, answerServedHere, recordService});
    }
    void TearDown() override {
        installHostWindowSystem(defaults);
        windowSystemCalls = nullptr;
    }

    const HostWindowSystem defaults = hostWindowSystem();
    RecordingEffect effect;
    RecordingEditor* editor = nullptr;
    std::vector<std::string> calls;
};

TEST_F(DispatcherWindowSystem, NamesTheHostsWindowAndIsServed) {
    EXPECT_EQ(dispatch(effect, effEditOpen, 0, 0, &effect), 0);
    EXPECT_TRUE(editor->calls.empty()) << "an editor opened into what names no window";
    EXPECT_EQ(dispatch(effect, effEditOpen, 0, 0, textBuffer), 9);
    EXPECT_EQ(editor->getHostWindow(), reinterpret_cast<HWND>(textBuffer + 1));
    dispatch(effect, effEditIdle);
    dispatch(effect, effEditClose);
    dispatch(effect, effEditIdle);

    const std::vector<std::string> expected = {"windowOf", "windowOf", "service", "servedHere", "service",
                                               "servedHere", "service", "service"};
    EXPECT_EQ(calls, expected);
    const std::vector<std::string> editorCalls = {"open", "idle", "close", "idle"};
    EXPECT_EQ(editor->calls, editorCalls);
}

// Idled from a thread that does not serve its windows, the editor moves
// there: the host's window named on that thread (which takes the other
// thread's windows out of it), closed, and opened again. Closed from such a
// thread, or with the plug-in, it only leaves.
TEST_F(DispatcherWindowSystem, AnEditorOpenOnAnotherThreadMovesToTheCallingThread) {
    ASSERT_EQ(dispatch(effect, effEditOpen, 0, 0, textBuffer), 9);
    editorServedHere = false;
    dispatch(effect, effEditIdle);
    editorServedHere = true;
    dispatch(effect, effEditIdle);
    editorServedHere = false;
    dispatch(effect, effEditClose);
    ASSERT_EQ(dispatch(effect, effEditOpen, 0, 0, textBuffer), 9);
    effect.dispatcher(effClose, 0, 0, nullptr, 0.0f);  // the object stays: it is not the record's to delete

    const std::vector<std::string> expected = {
        "windowOf", "service",                                            // open
        "servedHere", "servedHere", "windowOf", "service", "windowOf", "service", "service",  // moving idle
        "servedHere", "service",                                          // idle
        "servedHere", "windowOf", "service",                              // close
        "windowOf", "service",                                            // open
        "servedHere", "windowOf", "service"};                             // plug-in closed
    EXPECT_EQ(calls, expected);
    const std::vector<std::string> editorCalls = {"open", "close", "open", "idle", "idle", "close", "open", "close"};
    EXPECT_EQ(editor->calls, editorCalls);
}

}  // namespace
