// The base of every plug-in class: it owns the record the host drives, turns
// the record's five entries into virtual operations with harmless defaults,
// answers the dispatcher, wraps the host callback and formats values as text.
//
// The virtual operations stand in the order hosts' plug-in classes have
// always had them; derived classes replace only what they need.
#pragma once

#include <cstdint>

#include "host/AEffect.h"

class EditorBase;

// Booleans of this interface are 16 bits wide: only the low 16 bits of an
// argument count, and results are 0 or 1.
using HostBool = int16_t;

// What the effect base holds before anyone changes it.
struct EffectDefaults {
    static constexpr float sampleRate = 44100.0f;
    static constexpr int32_t blockSize = 1024;
    static constexpr int32_t numInputs = 1;
    static constexpr int32_t numOutputs = 2;
    static constexpr int32_t version = 1;
    static constexpr float ioRatio = 1.0f;
};

class EffectBase {
public:
    // The callback may be null: the host queries then answer for the host.
    EffectBase(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
    virtual ~EffectBase();
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    virtual void setParameter(int32_t index, float value);
    virtual float getParameter(int32_t index);
    virtual void automateParameter(int32_t index, float value);
    virtual void process(float** inputs, float** outputs, int32_t sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames);
    virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    virtual void open();
    virtual void close();
    virtual int32_t getProgram();
    virtual void setProgram(int32_t program);
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParamLabel(int32_t index, char* label);
    virtual void getParamDisplay(int32_t index, char* text);
    virtual void getParamName(int32_t index, char* name);
    virtual float getVu();
    virtual int32_t getChunk(void** data, HostBool isPreset);
    virtual int32_t setChunk(void* data, int32_t byteSize, HostBool isPreset);
    virtual void setSampleRate(float newSampleRate);
    virtual void setBlockSize(int32_t newBlockSize);
    virtual void mainsOff();
    virtual void mainsOn();
    virtual void setUniqueID(int32_t id);
    virtual void setNumInputs(int32_t count);
    virtual void setNumOutputs(int32_t count);
    virtual void setHasVu(HostBool state);
    virtual void setHasClip(HostBool state);
    virtual void setCanMono(HostBool state);
    virtual void setCanReplacing(HostBool state);
    virtual void setProgramChunks(HostBool state);
    virtual void setRealQualities(int32_t qualities);
    virtual void setOffQualities(int32_t qualities);
    virtual void setInitialDelay(int32_t delay);
    virtual float getSampleRate();
    virtual int32_t getBlockSize();
    virtual int32_t getHostVersion();
    virtual int32_t getHostCurrentId();
    virtual void hostIdle();
    virtual HostBool isInputPinConnected(int32_t pin);
    virtual HostBool isOutputPinConnected(int32_t pin);
    virtual void formatDecibels(float gain, char* text);
    virtual void formatHertz(float samples, char* text);
    virtual void formatMilliseconds(float samples, char* text);
    virtual void formatFloat(float value, char* text);
    virtual void formatInteger(int32_t value, char* text);
    // What hosts list: the answers are 1 when the operation wrote its text
    // (no more than the host's documented room), 0 when it has none.
    virtual HostBool canParameterBeAutomated(int32_t index);
    virtual HostBool getProgramNameIndexed(int32_t category, int32_t index, char* name);
    virtual int32_t getPlugCategory();
    virtual HostBool getEffectName(char* name);
    virtual HostBool getVendorString(char* text);
    virtual HostBool getProductString(char* text);
    virtual int32_t getVendorVersion();
    virtual int32_t getVstVersion();

    // The editor's changes told to the host, from the user-interface thread:
    // a gesture on a parameter begins, its value changes, it ends; the
    // program's name and values changed.
    void hostBeginEdit(int32_t index);
    void hostAutomate(int32_t index, float value);
    void hostEndEdit(int32_t index);
    void hostUpdateDisplay();

    // A value for a parameter display, which holds seven characters: rounded
    // at the last digit that fits, and written by formatFloat.
    void formatParameterValue(double value, char* text);

    // Instances built and not yet deleted, in the whole process.
    static int32_t liveInstances();

    // The record handed to the host; its `object` field leads back here.
    AEffect* getEffectRecord() { return &effectRecord; }
    // The editor, owned from here on; the editor enters itself once built.
    EditorBase* getEditor() const { return editor; }
    void setEditor(EditorBase* newEditor) { editor = newEditor; }

protected:
    float sampleRate;
    EditorBase* editor;
    audioMasterCallback audioMaster;
    int32_t numPrograms;
    int32_t numParams;
    int32_t hostProgram;
    int32_t blockSize;
    AEffect effectRecord;

private:
    // The entries the record points to. Each finds the object through the
    // record and calls its virtual operation with the arguments unchanged.
    static intptr_t dispatchEntry(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt);
    static void processEntry(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames);
    static void processReplacingEntry(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames);
    static void setParameterEntry(AEffect* effect, int32_t index, float value);
    static float getParameterEntry(AEffect* effect, int32_t index);
    static EffectBase* objectOf(AEffect* effect);

    intptr_t callHost(int32_t opcode, int32_t index, intptr_t value, float opt);
    void setFlag(int32_t flag, HostBool state);

    intptr_t openEditor(void* hostWindow);
    void closeEditor();
    bool editorOpenOnAnotherThread() const;

    // What the host handed effEditOpen while the editor is open; null once
    // it is closed.
    void* editorHostWindow = nullptr;
};
