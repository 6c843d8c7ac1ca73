#include "engine/CompressorEffect.h"

#include "editor/CompressorEditor.h"
#include "editor/EditorBase.h"
#include "engine/Allocation.h"
#include "engine/FactoryPrograms.h"
#include "engine/ParameterDescriptions.h"
#include "host/ModuleInstance.h"
#include "host/ValueText.h"

namespace {

constexpr int32_t stereoChannels = 2;

// A block the engine can run: both channels of both arrays present and at
// least one frame. Anything else from a host is ignored.
bool isStereoBlock(float** inputs, float** outputs, int32_t sampleFrames) {
    return sampleFrames > 0 && inputs && outputs && inputs[0] && inputs[1] && outputs[0] && outputs[1];
}

bool isParameter(int32_t index) { return index >= 0 && index < kParameterCount; }

bool isFactoryProgram(int32_t index) { return index >= 0 && index < kFactoryProgramCount; }

}  // namespace

// The engine is built from the rate and block size the effect base holds at
// this point, before any host has set its own: its meter interval is fixed
// from them for the life of the instance.
CompressorEffect::CompressorEffect(audioMasterCallback audioMaster)
    : HostParameterEffect(audioMaster, kFactoryProgramCount, kParameterCount), CompressorEngine(sampleRate, blockSize) {
    // Without its bank the engine has no program to load: every value would
    // be 0 and the output 20 dB down. Such an instance is refused, as one
    // without its editor is.
    if (!hasProgramBank()) creationFailed = 1;
    createEditor();
    setEditObserver(this);
    setNumInputs(stereoChannels);
    setNumOutputs(stereoChannels);
    setCanMono(1);
    setCanReplacing(1);
    setProgramChunks(1);
}

// The editor closes while the engine is still whole: a button held at that
// moment ends its hold as a release would, its click runs in the engine and
// the host hears the edit end. The effect base deletes the closed editor
// later.
CompressorEffect::~CompressorEffect() {
    if (editor) editor->close();
    setEditObserver(nullptr);
}

// The place of the editor in the construction: after the engine, whose
// listener its panel becomes, and before the record is finished. The editor
// sets effFlagsHasEditor once all its controls are built, and creationFailed
// when one could not be allocated; either way the effect base owns it now.
void CompressorEffect::createEditor() {
    CompressorEditor* newEditor = allocateObject<CompressorEditor>(this, getEngine());
    setEditor(newEditor);
    if (!newEditor) creationFailed = 1;
}

// The editor redraws what changed at its next idle, on its own thread.
void CompressorEffect::postEditorUpdate() {
    if (editor) editor->postUpdate();
}

void CompressorEffect::process(float** inputs, float** outputs, int32_t sampleFrames) {
    if (!isStereoBlock(inputs, outputs, sampleFrames)) return;
    CompressorEngine::process(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames);
}

void CompressorEffect::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    if (!isStereoBlock(inputs, outputs, sampleFrames)) return;
    CompressorEngine::processReplacing(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames);
}

// --- The host's parameters -------------------------------------------------------

void CompressorEffect::setHostParameter(int32_t index, float value) {
    if (!isParameter(index)) return;
    receiveParameter(index, value);
    postEditorUpdate();
}

float CompressorEffect::getHostParameter(int32_t index) {
    return isParameter(index) ? CompressorEngine::getParameter(index) : 0.0f;
}

float CompressorEffect::getVu() { return CompressorEngine::getVu(0); }

void CompressorEffect::getParamName(int32_t index, char* name) {
    copyHostText(isParameter(index) ? parameterDescriptions[index].shortName : "", name, kParameterTextSize);
}

void CompressorEffect::getParamLabel(int32_t index, char* label) {
    copyHostText(isParameter(index) ? parameterDescriptions[index].unitLabel : "", label, kParameterTextSize);
}

// The value in its unit at the host's current rate; the switch reads as
// whether the compressor is bypassed.
void CompressorEffect::getParamDisplay(int32_t index, char* text) {
    if (!isParameter(index)) {
        copyHostText("", text, kParameterTextSize);
        return;
    }
    const double shown = parameterValueInUnit(index, CompressorEngine::getParameter(index), getSampleRate());
    if (parameterDescriptions[index].unit == ParameterUnit::onOff)
        copyHostText(shown != 0.0 ? "on" : "off", text, kParameterTextSize);
    else
        formatParameterValue(shown, text);
}

HostBool CompressorEffect::canParameterBeAutomated(int32_t index) { return isParameter(index) ? 1 : 0; }

int32_t CompressorEffect::getPlugCategory() { return kPlugCategoryEffect; }

int32_t CompressorEffect::getVstVersion() { return kInterfaceVersion24; }

// --- Programs ------------------------------------------------------------------------

int32_t CompressorEffect::getProgram() { return getCurrentProgram(); }

void CompressorEffect::setProgram(int32_t program) {
    selectProgram(program);
    postEditorUpdate();
}

void CompressorEffect::setProgramName(char* name) {}

void CompressorEffect::getProgramName(char* name) {
    const int32_t program = getCurrentProgram();
    copyHostText(isFactoryProgram(program) ? factoryProgramNames[program] : "", name, kProgramNameSize);
}

HostBool CompressorEffect::getProgramNameIndexed(int32_t category, int32_t index, char* name) {
    if (!isFactoryProgram(index)) return 0;
    copyHostText(factoryProgramNames[index], name, kProgramNameSize);
    return 1;
}

// --- The editor's changes, told to the host ----------------------------------------

void CompressorEffect::editBegun(int32_t index) { hostBeginEdit(index); }

void CompressorEffect::valueEdited(int32_t index, float value) { hostAutomate(index, value); }

void CompressorEffect::editEnded(int32_t index) { hostEndEdit(index); }

void CompressorEffect::programChanged() { hostUpdateDisplay(); }

// --- State ---------------------------------------------------------------------------

int32_t CompressorEffect::getChunk(void** data, HostBool isPreset) {
    if (!data) return 0;
    const stateChunk::Contents contents = isPreset ? stateChunk::kWorkingValuesOnly : stateChunk::kWholeState;
    const uint32_t size = stateChunk::write(getState(), contents, chunkBytes);
    *data = chunkBytes;
    return static_cast<int32_t>(size);
}

// The editor shows the restored state at its next idle, as hosts send it on
// the user-interface thread; the audio thread takes the values at its next
// block. The whole chunk is checked, whatever part of it is taken.
int32_t CompressorEffect::setChunk(void* data, int32_t byteSize, HostBool isPreset) {
    if (!data || byteSize <= 0) return 0;
    const CompressorState current = getState();
    CompressorState state = current;
    if (!stateChunk::read(static_cast<const uint8_t*>(data), static_cast<uint32_t>(byteSize), state)) return 0;
    if (isPreset) {
        const CompressorProgram working = state.working;
        state = current;
        state.working = working;
    }
    restoreState(state);
    postEditorUpdate();
    return 1;
}
