// The compressor's editor as the host sees it: the host's editor calls
// reach the panel through it. Built inside the effect's constructor; when
// every control could be allocated it enters itself in the effect and sets
// effFlagsHasEditor, otherwise it sets creationFailed.
#pragma once

#include "editor/CompressorPanel.h"
#include "editor/EditorBase.h"

class CompressorEngine;
class EffectBase;

class CompressorEditor : public EditorBase, public CompressorPanel {
public:
    CompressorEditor(EffectBase* effect, CompressorEngine* engine);
    ~CompressorEditor() override;

    // The one rectangle of the process.
    int32_t getRect(ERect** rect) override;
    int32_t open(HWND parent) override;
    void close() override;
    void idle() override;
    void update() override;
};

// The rectangle every editor of the process hands to hosts: the panel's.
extern const ERect editorRect;
