#include "tools/render/LinkedCompressor.h"

#include "editor/CompressorEditor.h"
#include "engine/CompressorPlugin.h"

// The record's object is the effect base of the CompressorPlugin that the
// entry point made; its editor is a CompressorEditor, which is the panel.
LinkedCompressor::LinkedCompressor(AEffect* record) {
    EffectBase* effect = static_cast<EffectBase*>(record->object);
    compressorEngine = static_cast<CompressorPlugin*>(effect)->getEngine();
    compressorPanel = static_cast<const CompressorEditor*>(effect->getEditor());
}
