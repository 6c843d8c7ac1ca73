#include "host/EffectBase.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "editor/EditorBase.h"
#include "host/ValueText.h"

namespace {

std::atomic<int32_t> instanceCount{0};

}  // namespace

EffectBase::EffectBase(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    instanceCount.fetch_add(1);
    editor = nullptr;
    hostProgram = 0;

    std::memset(&effectRecord, 0, sizeof(effectRecord));
    effectRecord.numPrograms = numPrograms;
    effectRecord.numParams = numParams;
    effectRecord.magic = kEffectMagic;
    effectRecord.numInputs = EffectDefaults::numInputs;
    effectRecord.version = EffectDefaults::version;
    effectRecord.dispatcher = dispatchEntry;
    effectRecord.process = processEntry;
    effectRecord.setParameter = setParameterEntry;
    effectRecord.getParameter = getParameterEntry;
    effectRecord.numOutputs = EffectDefaults::numOutputs;
    effectRecord.ioRatio = EffectDefaults::ioRatio;
    effectRecord.object = this;
    effectRecord.uniqueID = kNoEffectId;
    effectRecord.processReplacing = processReplacingEntry;

    sampleRate = EffectDefaults::sampleRate;
    blockSize = EffectDefaults::blockSize;
}

// The derived classes are gone by now; the editor goes last, with the object.
EffectBase::~EffectBase() {
    if (editor) delete editor;
    instanceCount.fetch_sub(1);
}

int32_t EffectBase::liveInstances() { return instanceCount.load(); }

// --- The record's entries ---------------------------------------------------

EffectBase* EffectBase::objectOf(AEffect* effect) {
    return effect ? static_cast<EffectBase*>(effect->object) : nullptr;
}

intptr_t EffectBase::dispatchEntry(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                   float opt) {
    EffectBase* object = objectOf(effect);
    if (!object) return 0;
    intptr_t result = object->dispatcher(opcode, index, value, ptr, opt);
    if (opcode == effClose) {
        // The host is done with this instance: the record goes with it.
        delete object;
        return 1;
    }
    return result;
}

void EffectBase::processEntry(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames) {
    if (EffectBase* object = objectOf(effect)) object->process(inputs, outputs, sampleFrames);
}

void EffectBase::processReplacingEntry(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames) {
    if (EffectBase* object = objectOf(effect)) object->processReplacing(inputs, outputs, sampleFrames);
}

void EffectBase::setParameterEntry(AEffect* effect, int32_t index, float value) {
    if (EffectBase* object = objectOf(effect)) object->setParameter(index, value);
}

float EffectBase::getParameterEntry(AEffect* effect, int32_t index) {
    EffectBase* object = objectOf(effect);
    return object ? object->getParameter(index) : 0.0f;
}

// --- Defaults: a plug-in without parameters, programs or chunks --------------

void EffectBase::setParameter(int32_t index, float value) {}

float EffectBase::getParameter(int32_t index) { return 0.0f; }

void EffectBase::automateParameter(int32_t index, float value) {
    setParameter(index, value);
    hostAutomate(index, value);
}

void EffectBase::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {}

void EffectBase::open() {}

void EffectBase::close() {}

int32_t EffectBase::getProgram() { return hostProgram; }

void EffectBase::setProgram(int32_t program) { hostProgram = program; }

namespace {

void clearText(char* text) {
    if (text) text[0] = '\0';
}

}  // namespace

// Without programs there is no name to take: the host's buffer is left empty.
void EffectBase::setProgramName(char* name) { clearText(name); }

void EffectBase::getProgramName(char* name) { clearText(name); }

void EffectBase::getParamLabel(int32_t index, char* label) { clearText(label); }

void EffectBase::getParamDisplay(int32_t index, char* text) { clearText(text); }

void EffectBase::getParamName(int32_t index, char* name) { clearText(name); }

float EffectBase::getVu() { return 0.0f; }

int32_t EffectBase::getChunk(void** data, HostBool isPreset) { return 0; }

int32_t EffectBase::setChunk(void* data, int32_t byteSize, HostBool isPreset) { return 0; }

void EffectBase::setSampleRate(float newSampleRate) { sampleRate = newSampleRate; }

void EffectBase::setBlockSize(int32_t newBlockSize) { blockSize = newBlockSize; }

void EffectBase::mainsOff() {}

void EffectBase::mainsOn() {}

// --- The record's fields and flags ------------------------------------------

void EffectBase::setUniqueID(int32_t id) { effectRecord.uniqueID = id; }

void EffectBase::setNumInputs(int32_t count) { effectRecord.numInputs = count; }

void EffectBase::setNumOutputs(int32_t count) { effectRecord.numOutputs = count; }

void EffectBase::setFlag(int32_t flag, HostBool state) {
    if (state)
        effectRecord.flags |= flag;
    else
        effectRecord.flags &= ~flag;
}

void EffectBase::setHasVu(HostBool state) { setFlag(effFlagsHasVu, state); }

void EffectBase::setHasClip(HostBool state) { setFlag(effFlagsHasClip, state); }

void EffectBase::setCanMono(HostBool state) { setFlag(effFlagsCanMono, state); }

void EffectBase::setCanReplacing(HostBool state) { setFlag(effFlagsCanReplacing, state); }

void EffectBase::setProgramChunks(HostBool state) { setFlag(effFlagsProgramChunks, state); }

void EffectBase::setRealQualities(int32_t qualities) { effectRecord.realQualities = qualities; }

void EffectBase::setOffQualities(int32_t qualities) { effectRecord.offQualities = qualities; }

void EffectBase::setInitialDelay(int32_t delay) { effectRecord.initialDelay = delay; }

float EffectBase::getSampleRate() { return sampleRate; }

int32_t EffectBase::getBlockSize() { return blockSize; }

// --- Host queries -------------------------------------------------------------

// Every question to the host goes through here; without a callback the host
// answers 0, and each query turns that into its own neutral result.
intptr_t EffectBase::callHost(int32_t opcode, int32_t index, intptr_t value, float opt) {
    if (!audioMaster) return 0;
    return audioMaster(&effectRecord, opcode, index, value, nullptr, opt);
}

// A host that does not say is taken to be a version 1 host.
int32_t EffectBase::getHostVersion() {
    int32_t version = static_cast<int32_t>(callHost(audioMasterVersion, 0, 0, 0.0f));
    return version != 0 ? version : 1;
}

int32_t EffectBase::getHostCurrentId() { return static_cast<int32_t>(callHost(audioMasterCurrentId, 0, 0, 0.0f)); }

void EffectBase::hostIdle() { callHost(audioMasterIdle, 0, 0, 0.0f); }

void EffectBase::hostBeginEdit(int32_t index) { callHost(audioMasterBeginEdit, index, 0, 0.0f); }

void EffectBase::hostAutomate(int32_t index, float value) { callHost(audioMasterAutomate, index, 0, value); }

void EffectBase::hostEndEdit(int32_t index) { callHost(audioMasterEndEdit, index, 0, 0.0f); }

void EffectBase::hostUpdateDisplay() { callHost(audioMasterUpdateDisplay, 0, 0, 0.0f); }

// The host answers 0 for a connected pin.
HostBool EffectBase::isInputPinConnected(int32_t pin) {
    return callHost(audioMasterPinConnected, pin, 0, 0.0f) == 0 ? 1 : 0;
}

HostBool EffectBase::isOutputPinConnected(int32_t pin) {
    return callHost(audioMasterPinConnected, pin, 1, 0.0f) == 0 ? 1 : 0;
}

// --- Values as text -----------------------------------------------------------

void EffectBase::formatDecibels(float gain, char* text) {
    if (gain > 0.0f)
        formatFloat(static_cast<float>(20.0 * std::log10(static_cast<double>(gain))), text);
    else
        writeFixedText(ValueTexts::minusInfinity, text);
}

// A period of zero samples reads as 0 Hz.
void EffectBase::formatHertz(float samples, char* text) {
    const double rate = getSampleRate();
    formatFloat(samples == 0.0f ? 0.0f : static_cast<float>(rate / static_cast<double>(samples)), text);
}

void EffectBase::formatMilliseconds(float samples, char* text) {
    const double rate = getSampleRate();
    formatFloat(static_cast<float>(static_cast<double>(samples) * 1000.0 / rate), text);
}

void EffectBase::formatFloat(float value, char* text) { writeFloatText(value, text); }

void EffectBase::formatInteger(int32_t value, char* text) { writeIntegerText(value, text); }

void EffectBase::formatParameterValue(double value, char* text) {
    if (!text) return;
    constexpr int shown = kParameterTextSize - 1;
    const double rounded = roundedAtLastShownDigit(value, shown);
    char full[valueTextSize];
    if (integerPartFits(rounded, shown))
        formatFloat(static_cast<float>(rounded), full);
    else
        writeFixedText(ValueTexts::huge, full);
    copyHostText(full, text, kParameterTextSize);
}

// --- What hosts list ------------------------------------------------------------

// A plug-in without parameters, programs or names.
HostBool EffectBase::canParameterBeAutomated(int32_t index) { return 0; }

HostBool EffectBase::getProgramNameIndexed(int32_t category, int32_t index, char* name) { return 0; }

int32_t EffectBase::getPlugCategory() { return 0; }

HostBool EffectBase::getEffectName(char* name) { return 0; }

HostBool EffectBase::getVendorString(char* text) { return 0; }

HostBool EffectBase::getProductString(char* text) { return 0; }

// The plug-in's version is the one its record carries.
int32_t EffectBase::getVendorVersion() { return effectRecord.version; }

// A plug-in of the interface's first version.
int32_t EffectBase::getVstVersion() { return 0; }
