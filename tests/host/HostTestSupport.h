// A host's side of the record for the tests: a callback that answers as told
// and remembers what it was asked, an effect that records which of its
// operations the record and the dispatcher reach, and an editor that does the
// same for the editor opcodes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/EditorBase.h"
#include "host/EffectBase.h"

struct HostCall {
    AEffect* effect;
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
};

// One host at a time: the callback is a plain function, as hosts give it.
class FakeHost {
public:
    FakeHost() { current = this; }
    ~FakeHost() { current = nullptr; }

    static intptr_t callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
        if (!current) return 0;
        current->calls.push_back(HostCall{effect, opcode, index, value, ptr, opt});
        if (current->sharedLog) current->sharedLog->push_back("host " + std::to_string(opcode));
        return opcode == audioMasterVersion ? current->versionAnswer : current->answer;
    }

    intptr_t versionAnswer = 2400;
    intptr_t answer = 0;
    std::vector<HostCall> calls;
    // Where the host notes its calls among the effect's own, when set.
    std::vector<std::string>* sharedLog = nullptr;

    static inline FakeHost* current = nullptr;
};

// The operations of the effect that a test wants to see reached, in order.
class RecordingEffect : public EffectBase {
public:
    RecordingEffect(audioMasterCallback audioMaster = nullptr, int32_t programs = 0, int32_t params = 0)
        : EffectBase(audioMaster, programs, params) {}
    ~RecordingEffect() override {
        if (lastWords) *lastWords = joinedLog() + "; destroyed";
    }

    void setParameter(int32_t index, float value) override {
        log("setParameter " + std::to_string(index) + " " + std::to_string(value));
    }
    float getParameter(int32_t index) override {
        log("getParameter " + std::to_string(index));
        return parameterAnswer;
    }
    void process(float** inputs, float** outputs, int32_t sampleFrames) override {
        lastInputs = inputs;
        lastOutputs = outputs;
        log("process " + std::to_string(sampleFrames));
    }
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override {
        lastInputs = inputs;
        lastOutputs = outputs;
        log("processReplacing " + std::to_string(sampleFrames));
    }
    void open() override { log("open"); }
    void close() override { log("close"); }
    void setProgram(int32_t program) override {
        log("setProgram " + std::to_string(program));
        EffectBase::setProgram(program);
    }
    void setProgramName(char* name) override {
        log("setProgramName");
        EffectBase::setProgramName(name);
    }
    void getProgramName(char* name) override {
        log("getProgramName");
        EffectBase::getProgramName(name);
    }
    void getParamLabel(int32_t index, char* text) override { log("getParamLabel " + std::to_string(index)); }
    void getParamDisplay(int32_t index, char* text) override { log("getParamDisplay " + std::to_string(index)); }
    void getParamName(int32_t index, char* text) override { log("getParamName " + std::to_string(index)); }
    float getVu() override { return vuAnswer; }
    int32_t getChunk(void** data, HostBool isPreset) override {
        chunkPointer = data;
        log("getChunk " + std::to_string(isPreset));
        return chunkAnswer;
    }
    int32_t setChunk(void* data, int32_t byteSize, HostBool isPreset) override {
        chunkPointer = data;
        log("setChunk " + std::to_string(byteSize) + " " + std::to_string(isPreset));
        return chunkAnswer;
    }
    void setSampleRate(float rate) override {
        log("setSampleRate " + std::to_string(rate));
        EffectBase::setSampleRate(rate);
    }
    void setBlockSize(int32_t size) override {
        log("setBlockSize " + std::to_string(size));
        EffectBase::setBlockSize(size);
    }
    void mainsOff() override { log("mainsOff"); }
    void mainsOn() override { log("mainsOn"); }
    HostBool canParameterBeAutomated(int32_t index) override {
        log("canParameterBeAutomated " + std::to_string(index));
        return 1;
    }
    HostBool getProgramNameIndexed(int32_t category, int32_t index, char* name) override {
        log("getProgramNameIndexed " + std::to_string(category) + " " + std::to_string(index));
        return 1;
    }
    int32_t getPlugCategory() override {
        log("getPlugCategory");
        return 5;
    }
    HostBool getEffectName(char* name) override { return logText("getEffectName", name); }
    HostBool getVendorString(char* text) override { return logText("getVendorString", text); }
    HostBool getProductString(char* text) override { return logText("getProductString", text); }
    int32_t getVendorVersion() override {
        log("getVendorVersion");
        return 1234;
    }
    int32_t getVstVersion() override {
        log("getVstVersion");
        return 2300;
    }

    std::string joinedLog() const {
        std::string all;
        for (const std::string& entry : calls) all += (all.empty() ? "" : "; ") + entry;
        return all;
    }

    std::vector<std::string> calls;
    float parameterAnswer = 0.0f;
    float vuAnswer = 0.0f;
    int32_t chunkAnswer = 0;
    void* chunkPointer = nullptr;
    float** lastInputs = nullptr;
    float** lastOutputs = nullptr;
    // Where the destructor leaves the log, which goes with the object.
    std::string* lastWords = nullptr;

private:
    void log(const std::string& entry) { calls.push_back(entry); }
    HostBool logText(const std::string& operation, char* text) {
        log(operation + (text ? "" : " without a buffer"));
        return 1;
    }
};

class RecordingEditor : public EditorBase {
public:
    explicit RecordingEditor(EffectBase* effect) : EditorBase(effect) {}
    ~RecordingEditor() override {
        if (destroyed) *destroyed = true;
    }

    int32_t getRect(ERect** rect) override {
        calls.push_back("getRect");
        if (rect) *rect = &rectangle;
        return rectAnswer;
    }
    int32_t open(HWND parent) override {
        calls.push_back("open");
        EditorBase::open(parent);
        return openAnswer;
    }
    void close() override { calls.push_back("close"); }
    void idle() override { calls.push_back("idle"); }

    ERect rectangle{0, 0, 119, 304};
    int32_t rectAnswer = 7;
    int32_t openAnswer = 9;
    std::vector<std::string> calls;
    bool* destroyed = nullptr;
};

inline intptr_t dispatch(EffectBase& effect, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f) {
    AEffect* record = effect.getEffectRecord();
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}
