#include "engine/CompressorEffect.h"

#include "editor/CompressorEditor.h"
#include "editor/EditorBase.h"
#include "engine/Allocation.h"
#include "host/ModuleInstance.h"

namespace {

constexpr int32_t stereoChannels = 2;

// A block the engine can run: both channels of both arrays present and at
// least one frame. Anything else from a host is ignored.
bool isStereoBlock(float** inputs, float** outputs, int32_t sampleFrames) {
    return sampleFrames > 0 && inputs && outputs && inputs[0] && inputs[1] && outputs[0] && outputs[1];
}

}  // namespace

// The engine is built from the rate and block size the effect base holds at
// this point, before any host has set its own: its meter interval is fixed
// from them for the life of the instance.
CompressorEffect::CompressorEffect(audioMasterCallback audioMaster)
    : EffectBase(audioMaster, 0, 0), CompressorEngine(sampleRate, blockSize) {
    // Without its bank the engine has no program to load: every value would
    // be 0 and the output 20 dB down. Such an instance is refused, as one
    // without its editor is.
    if (!hasProgramBank()) creationFailed = 1;
    createEditor();
    setNumInputs(stereoChannels);
    setNumOutputs(stereoChannels);
    setCanMono(1);
    setCanReplacing(1);
    setProgramChunks(1);
}

// The editor closes while the engine is still whole: a button held at that
// moment ends its hold as a release would, and its click runs in the engine.
// The effect base deletes the closed editor later.
CompressorEffect::~CompressorEffect() {
    if (editor) editor->close();
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

void CompressorEffect::process(float** inputs, float** outputs, int32_t sampleFrames) {
    if (!isStereoBlock(inputs, outputs, sampleFrames)) return;
    CompressorEngine::process(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames);
}

void CompressorEffect::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    if (!isStereoBlock(inputs, outputs, sampleFrames)) return;
    CompressorEngine::processReplacing(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames);
}

int32_t CompressorEffect::getChunk(void** data, HostBool isPreset) {
    if (!data) return 0;
    const stateChunk::Contents contents = isPreset ? stateChunk::kWorkingValuesOnly : stateChunk::kWholeState;
    const uint32_t size = stateChunk::write(getState(), contents, chunkBytes);
    *data = chunkBytes;
    return static_cast<int32_t>(size);
}

// The editor shows the restored state at its next idle, as hosts send it on
// the user-interface thread; the audio thread takes the values at its next
// block.
int32_t CompressorEffect::setChunk(void* data, int32_t byteSize, HostBool isPreset) {
    if (!data || byteSize <= 0) return 0;
    CompressorState state = getState();
    if (!stateChunk::read(static_cast<const uint8_t*>(data), static_cast<uint32_t>(byteSize), state)) return 0;
    restoreState(state);
    if (editor) editor->postUpdate();
    return 1;
}
