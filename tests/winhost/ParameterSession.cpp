#include "ParameterSession.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

#include "engine/FactoryPrograms.h"

namespace {

constexpr unsigned char kUntouched = 0xA5;
constexpr size_t kGuardBytes = 16;

// A host's text buffer of exactly `room` bytes, with guard bytes behind it.
class GuardedText {
public:
    explicit GuardedText(size_t room, const char* initial = nullptr) : room(room), bytes(room + kGuardBytes, kUntouched) {
        if (initial) std::memcpy(bytes.data(), initial, std::strlen(initial) + 1);
    }
    char* data() { return reinterpret_cast<char*>(bytes.data()); }

    // "" when the plug-in kept to the room and ended its text there.
    std::string problem() const {
        for (size_t i = room; i < bytes.size(); ++i) {
            if (bytes[i] != kUntouched) return "wrote beyond its " + std::to_string(room) + " bytes";
        }
        if (!std::memchr(bytes.data(), 0, room)) return "ended no text within its " + std::to_string(room) + " bytes";
        return "";
    }
    std::string text() const { return problem().empty() ? reinterpret_cast<const char*>(bytes.data()) : ""; }
    bool untouched() const {
        for (unsigned char byte : bytes) {
            if (byte != kUntouched) return false;
        }
        return true;
    }

private:
    size_t room;
    std::vector<unsigned char> bytes;
};

struct ParameterTexts {
    const char* name;
    const char* label;
};

const ParameterTexts kParameterTexts[kParameterCount] = {
    {"Bypass", ""}, {"Ratio", "%"}, {"Thresh", "dB"}, {"Attack", "ms"}, {"Release", "ms"}, {"Make-up", "dB"},
};

// Values a host sets, and how they read at a sample rate: attack and release
// are time constants, so they read differently at 96 kHz.
struct DisplayRow {
    float values[kParameterCount];
    float sampleRate;
    const char* displays[kParameterCount];
};

const DisplayRow kDisplayRows[] = {
    {{0.0f, 0.5f, 0.6f, 0.18f, 0.55f, 0.6f}, 44100.0f, {"off", "50.0000", "-16.000", "0.04077", "101.276", "4.00000"}},
    {{0.0f, 0.5f, 0.6f, 0.18f, 0.55f, 0.6f}, 96000.0f, {"off", "50.0000", "-16.000", "0.01873", "46.5237", "4.00000"}},
    {{1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f}, 44100.0f, {"on", "100.000", "-40.000", "2.30904", "2264.49", "-20.000"}},
    {{1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f}, 96000.0f, {"on", "100.000", "-40.000", "1.06071", "1040.25", "-20.000"}},
};

const char* const kProgramNames[kFactoryProgramCount] = {"Default", "Limiter -6dB", "Limiter -12dB",
                                                         "Soft Compression"};

class ParameterCheck {
public:
    explicit ParameterCheck(AEffect* record) : record(record) {}

    std::string problems() const { return found.str(); }

    void checkNames();
    void checkParameterTexts();
    void checkHostValues();
    void checkPrograms();
    void checkMeter();

private:
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    float get(int32_t index) { return record->getParameter(record, index); }
    void set(int32_t index, float value) { record->setParameter(record, index, value); }

    // Asks for a text into `room` bytes; the answer must be `answer`.
    std::string ask(int32_t opcode, int32_t index, size_t room, intptr_t answer, const std::string& what) {
        GuardedText buffer(room);
        const intptr_t result = dispatch(opcode, index, 0, buffer.data());
        expect(result == answer, what + " answered " + std::to_string(result));
        const std::string problem = buffer.problem();
        expect(problem.empty(), what + " " + problem);
        return buffer.text();
    }
    void expectText(const std::string& text, const std::string& expected, const std::string& what) {
        expect(text == expected, what + " is \"" + text + "\", not \"" + expected + "\"");
    }
    void expectValue(int32_t index, float expected, const std::string& what) {
        const float value = get(index);
        expect(value == expected, what + ": parameter " + std::to_string(index) + " reads " + std::to_string(value) +
                                      ", not " + std::to_string(expected));
    }
    void expect(bool condition, const std::string& problem) {
        if (!condition) found << problem << "; ";
    }

    AEffect* record;
    std::ostringstream found;
};

void ParameterCheck::checkNames() {
    expectText(ask(effGetEffectName, 0, kEffectNameSize, 1, "effGetEffectName"), "ZQ3R Compressor", "the name");
    expectText(ask(effGetVendorString, 0, kVendorStringSize, 1, "effGetVendorString"), "ZQ3R", "the vendor");
    expectText(ask(effGetProductString, 0, kProductStringSize, 1, "effGetProductString"), "ZQ3R Compressor",
               "the product");
    expect(dispatch(effGetVendorVersion) == record->version, "effGetVendorVersion is not the record's version");
    expect(dispatch(effGetPlugCategory) == kPlugCategoryEffect, "effGetPlugCategory is not 'effect'");
    // Hosts ask for program names only from plug-ins of version 2 and later.
    expect(dispatch(effGetVstVersion) == kInterfaceVersion24, "effGetVstVersion is not 2400");
}

void ParameterCheck::checkParameterTexts() {
    expect(record->numParams == kParameterCount, "numParams is " + std::to_string(record->numParams));
    for (int32_t index = 0; index < kParameterCount; ++index) {
        const std::string which = "parameter " + std::to_string(index);
        expectText(ask(effGetParamName, index, kParameterTextSize, 0, "effGetParamName"), kParameterTexts[index].name,
                   which + "'s name");
        expectText(ask(effGetParamLabel, index, kParameterTextSize, 0, "effGetParamLabel"),
                   kParameterTexts[index].label, which + "'s label");
        expect(dispatch(effCanBeAutomated, index) == 1, which + " cannot be automated");
    }
    for (int32_t index : {-1, int32_t{kParameterCount}, int32_t{kProgramPosition}, 1000}) {
        const std::string which = "index " + std::to_string(index);
        expect(dispatch(effCanBeAutomated, index) == 0, which + " can be automated");
        for (int32_t opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay})
            expectText(ask(opcode, index, kParameterTextSize, 0, "opcode " + std::to_string(opcode)), "", which);
    }
    for (const DisplayRow& row : kDisplayRows) {
        dispatch(effSetSampleRate, 0, 0, nullptr, row.sampleRate);
        for (int32_t index = 0; index < kParameterCount; ++index) set(index, row.values[index]);
        for (int32_t index = 0; index < kParameterCount; ++index) {
            const std::string which = "parameter " + std::to_string(index) + " at " +
                                      std::to_string(static_cast<int>(row.sampleRate)) + " Hz";
            expectText(ask(effGetParamDisplay, index, kParameterTextSize, 0, "effGetParamDisplay"),
                       row.displays[index], which);
        }
    }
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
}

// The six take what a knob or the switch can hold; anything else from a
// host is clamped or ignored, and the program commands are not parameters.
void ParameterCheck::checkHostValues() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    set(kRatio, 0.25f);
    expectValue(kRatio, 0.25f, "a ratio of 0.25");
    set(kRatio, 1.5f);
    expectValue(kRatio, 1.0f, "a ratio of 1.5");
    set(kRatio, -0.5f);
    expectValue(kRatio, 0.0f, "a ratio of -0.5");
    set(kRatio, 0.75f);
    set(kRatio, nan);
    expectValue(kRatio, 0.75f, "a ratio of NaN");
    set(kThreshold, infinity);
    expectValue(kThreshold, 1.0f, "an infinite threshold");
    set(kThreshold, -infinity);
    expectValue(kThreshold, 0.0f, "a threshold of minus infinity");
    // The switch has two positions, as the editor's power switch steps them.
    const float switchPositions[][2] = {{0.3f, 0.0f}, {0.7f, 0.5f}, {1.0f, 0.5f}, {0.0f, 0.0f}, {0.5f, 0.5f}};
    for (const auto& position : switchPositions) {
        set(kPower, position[0]);
        expectValue(kPower, position[1], "the switch set to " + std::to_string(position[0]));
    }

    float before[kParameterCount];
    for (int32_t index = 0; index < kParameterCount; ++index) before[index] = get(index);
    const intptr_t program = dispatch(effGetProgram);
    const int32_t notParameters[] = {-1,           kResetCommand,    kCopyCommand,    kPasteCommand, kNextCommand,
                                     kPreviousCommand, kRefreshCommand, kProgramPosition, 1000};
    for (int32_t index : notParameters) {
        set(index, 1.0f);
        expect(get(index) == 0.0f, "index " + std::to_string(index) + " reads a value");
    }
    for (int32_t index = 0; index < kParameterCount; ++index)
        expectValue(index, before[index], "after writes to indices that are no parameters");
    expect(dispatch(effGetProgram) == program, "a write to an index that is no parameter changed the program");
}

void ParameterCheck::checkPrograms() {
    expect(record->numPrograms == kFactoryProgramCount, "numPrograms is " + std::to_string(record->numPrograms));
    for (int32_t program = 0; program < kFactoryProgramCount; ++program) {
        expectText(ask(effGetProgramNameIndexed, program, kProgramNameSize, 1, "effGetProgramNameIndexed"),
                   kProgramNames[program], "program " + std::to_string(program) + "'s name");
    }
    for (int32_t program : {-1, kFactoryProgramCount}) {
        GuardedText buffer(kProgramNameSize);
        expect(dispatch(effGetProgramNameIndexed, program, 0, buffer.data()) == 0 && buffer.untouched(),
               "program " + std::to_string(program) + " has a name");
    }

    dispatch(effSetProgram, 0, 2);
    expect(dispatch(effGetProgram) == 2, "effSetProgram 2 did not choose program 2");
    expectText(ask(effGetProgramName, 0, kProgramNameSize, 0, "effGetProgramName"), kProgramNames[2],
               "the current program's name");
    for (int32_t index = 0; index < kParameterCount; ++index)
        expectValue(index, factoryPrograms[2][index], "program 2 chosen");

    // Hosts choose the current program again right after restoring a chunk.
    set(kRatio, 0.3f);
    dispatch(effSetProgram, 0, 2);
    expectValue(kRatio, 0.3f, "the program shown chosen again");
    for (intptr_t beyond : {intptr_t{-1}, intptr_t{kFactoryProgramCount}}) {
        dispatch(effSetProgram, 0, beyond);
        expect(dispatch(effGetProgram) == 2, "effSetProgram " + std::to_string(beyond) + " was taken");
    }

    GuardedText newName(kProgramNameSize, "Mine");
    dispatch(effSetProgramName, 0, 0, newName.data());
    expectText(ask(effGetProgramName, 0, kProgramNameSize, 0, "effGetProgramName"), kProgramNames[2],
               "the name after effSetProgramName");
    expect(std::string(newName.data()) == "Mine" && newName.problem().empty(), "effSetProgramName wrote to the host's text");

    dispatch(effSetProgram, 0, 3);
    for (int32_t index = 0; index < kParameterCount; ++index)
        expectValue(index, factoryPrograms[3][index], "program 3 chosen");
}

// effGetVu reads what the meter shows: some reduction while a loud signal is
// compressed, none once the compressor is bypassed.
void ParameterCheck::checkMeter() {
    constexpr int32_t kFrames = 4096;
    std::vector<float> left(kFrames), right(kFrames), outLeft(kFrames), outRight(kFrames);
    for (int32_t i = 0; i < kFrames; ++i) left[i] = right[i] = i % 2 ? 0.9f : -0.9f;
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    set(kPower, 0.0f);
    set(kThreshold, 0.0f);
    record->processReplacing(record, inputs, outputs, kFrames);
    expect(dispatch(effGetVu) > 0, "effGetVu reads no reduction while a loud signal is compressed");
    set(kPower, 1.0f);
    record->processReplacing(record, inputs, outputs, kFrames);
    expect(dispatch(effGetVu) == 0, "effGetVu reads a reduction while bypassed");
}

}  // namespace

std::string runParameterSession(EntryPoint entry) {
    AEffect* record = entry(sessionHostCallback);
    if (!record) return "the entry point returned no record";
    ParameterCheck check(record);
    check.checkNames();
    check.checkParameterTexts();
    check.checkHostValues();
    check.checkPrograms();
    check.checkMeter();
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    return check.problems();
}
