// The record through which a host drives the plug-in, the host callback, and
// the opcode and flag numbers of the plug-in interface: those of version 1.0,
// and the few later ones through which hosts name a plug-in, list its
// parameters and programs and record its automation.
//
// On 32-bit targets the record is the classic 144-byte layout, every field
// four bytes wide. On 64-bit targets the dispatcher's and the callback's
// `value` and result, and the two reserved fields, are pointer-sized, which
// is what 64-bit hosts expect; on 32-bit targets intptr_t is 32 bits, so one
// definition serves both.
#pragma once

#include <cstddef>
#include <cstdint>

struct AEffect;

using audioMasterCallback = intptr_t (*)(AEffect* effect, int32_t opcode, int32_t index,
                                         intptr_t value, void* ptr, float opt);
using AEffectDispatcherProc = intptr_t (*)(AEffect* effect, int32_t opcode, int32_t index,
                                           intptr_t value, void* ptr, float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                                    int32_t sampleFrames);
using AEffectSetParameterProc = void (*)(AEffect* effect, int32_t index, float value);
using AEffectGetParameterProc = float (*)(AEffect* effect, int32_t index);

struct AEffect {
    int32_t magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    intptr_t resvd1;
    intptr_t resvd2;
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object;
    void* user;
    int32_t uniqueID;
    int32_t version;
    AEffectProcessProc processReplacing;
    char future[60];
};

// The classic layout, checked wherever pointers are 32 bits wide.
constexpr bool recordIsClassicLayout = sizeof(void*) == 4;
static_assert(!recordIsClassicLayout || sizeof(AEffect) == 144, "record size");
static_assert(!recordIsClassicLayout || offsetof(AEffect, magic) == 0, "magic");
static_assert(!recordIsClassicLayout || offsetof(AEffect, dispatcher) == 4, "dispatcher");
static_assert(!recordIsClassicLayout || offsetof(AEffect, process) == 8, "process");
static_assert(!recordIsClassicLayout || offsetof(AEffect, setParameter) == 12, "setParameter");
static_assert(!recordIsClassicLayout || offsetof(AEffect, getParameter) == 16, "getParameter");
static_assert(!recordIsClassicLayout || offsetof(AEffect, numPrograms) == 20, "numPrograms");
static_assert(!recordIsClassicLayout || offsetof(AEffect, numParams) == 24, "numParams");
static_assert(!recordIsClassicLayout || offsetof(AEffect, numInputs) == 28, "numInputs");
static_assert(!recordIsClassicLayout || offsetof(AEffect, numOutputs) == 32, "numOutputs");
static_assert(!recordIsClassicLayout || offsetof(AEffect, flags) == 36, "flags");
static_assert(!recordIsClassicLayout || offsetof(AEffect, resvd1) == 40, "resvd1");
static_assert(!recordIsClassicLayout || offsetof(AEffect, resvd2) == 44, "resvd2");
static_assert(!recordIsClassicLayout || offsetof(AEffect, initialDelay) == 48, "initialDelay");
static_assert(!recordIsClassicLayout || offsetof(AEffect, realQualities) == 52, "realQualities");
static_assert(!recordIsClassicLayout || offsetof(AEffect, offQualities) == 56, "offQualities");
static_assert(!recordIsClassicLayout || offsetof(AEffect, ioRatio) == 60, "ioRatio");
static_assert(!recordIsClassicLayout || offsetof(AEffect, object) == 64, "object");
static_assert(!recordIsClassicLayout || offsetof(AEffect, user) == 68, "user");
static_assert(!recordIsClassicLayout || offsetof(AEffect, uniqueID) == 72, "uniqueID");
static_assert(!recordIsClassicLayout || offsetof(AEffect, version) == 76, "version");
static_assert(!recordIsClassicLayout || offsetof(AEffect, processReplacing) == 80, "processReplacing");
static_assert(!recordIsClassicLayout || offsetof(AEffect, future) == 84, "future");

// The editor's rectangle as hosts read it.
struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

// A four-character code: the first character in the most significant byte.
constexpr int32_t fourCharCode(const char (&code)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(code[3])));
}

constexpr int32_t kEffectMagic = fourCharCode("VstP");        // 0x56737450
constexpr int32_t kNoEffectId = fourCharCode("NoEf");         // 0x4E6F4566
constexpr int32_t kIdentifyAnswer = fourCharCode("NvEf");     // 0x4E764566

// Opcodes the host sends through the record's dispatcher.
enum EffectOpcode : int32_t {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effGetVu = 9,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditDraw = 16,
    effEditMouse = 17,
    effEditKey = 18,
    effEditIdle = 19,
    effEditTop = 20,
    effEditSleep = 21,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effCanBeAutomated = 26,
    effGetProgramNameIndexed = 29,
    effGetPlugCategory = 35,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effGetVstVersion = 58,
    effLastOpcode = effGetVstVersion,
};

// The room hosts give for the texts they ask for, the terminating zero
// included. Some hosts allocate exactly this much: a longer write corrupts
// their memory.
enum HostTextSize : size_t {
    kEffectNameSize = 32,
    kVendorStringSize = 64,
    kProductStringSize = 64,
    kProgramNameSize = 24,
    kParameterTextSize = 8,  // names, labels and displays of parameters
};

// What effGetPlugCategory answers for an audio effect.
constexpr int32_t kPlugCategoryEffect = 1;

// The interface version a plug-in names with effGetVstVersion: 0 for 1.0,
// 2400 for 2.4, which hosts take as a promise to answer the opcodes above.
constexpr int32_t kInterfaceVersion24 = 2400;

// Opcodes the plug-in sends through the host callback.
enum HostOpcode : int32_t {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

// Bits of the record's `flags`.
enum EffectFlags : int32_t {
    effFlagsHasEditor = 1,
    effFlagsHasClip = 2,
    effFlagsHasVu = 4,
    effFlagsCanMono = 8,
    effFlagsCanReplacing = 16,
    effFlagsProgramChunks = 32,
};
