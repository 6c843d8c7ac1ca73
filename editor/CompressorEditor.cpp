#include "editor/CompressorEditor.h"

#include "gui/WindowSupport.h"
#include "host/EffectBase.h"
#include "host/ModuleInstance.h"

ERect editorRect = {0, 0, 0, 0};

namespace {

bool editorRectFilled = false;

}  // namespace

CompressorEditor::CompressorEditor(EffectBase* effect, CompressorEngine* engine)
    : EditorBase(effect), CompressorPanel(engine) {
    if (buildControls() != 0) {
        creationFailed = 1;
        return;
    }
    effect->setEditor(this);
    effect->getEffectRecord()->flags |= effFlagsHasEditor;
}

// A host may close the plug-in with its editor open: the editor closes first,
// so that nothing of it stays in the host's window.
CompressorEditor::~CompressorEditor() {
    close();
    destroyControls();
}

int32_t CompressorEditor::getRect(ERect** rect) {
    if (!editorRectFilled) {
        const PixelRect panel = CompressorPanel::getRect();
        editorRect.top = static_cast<int16_t>(panel.y);
        editorRect.left = static_cast<int16_t>(panel.x);
        editorRect.bottom = static_cast<int16_t>(panel.y + panel.height);
        editorRect.right = static_cast<int16_t>(panel.x + panel.width);
        editorRectFilled = true;
    }
    if (rect) *rect = &editorRect;
    return 1;
}

int32_t CompressorEditor::open(HWND parent) {
    hostWindow = parent;
    CompressorPanel::open(parent);
    return 1;
}

void CompressorEditor::close() { CompressorPanel::close(); }

void CompressorEditor::idle() {
    CompressorPanel::idle();
    if (!updateFlag) return;
    updateFlag = 0;
    update();
}

void CompressorEditor::update() { updateControls(); }
