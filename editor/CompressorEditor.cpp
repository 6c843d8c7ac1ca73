#include "editor/CompressorEditor.h"

#include "editor/PanelLayout.h"
#include "gui/WindowSupport.h"
#include "host/EffectBase.h"
#include "host/ModuleInstance.h"

namespace {

constexpr ERect rectOf(const PixelRect& panel) {
    return ERect{static_cast<int16_t>(panel.y), static_cast<int16_t>(panel.x),
                 static_cast<int16_t>(panel.y + panel.height), static_cast<int16_t>(panel.x + panel.width)};
}

}  // namespace

// Constant from the start: instances on different threads may ask for it at
// the same time, and nothing is ever written to it.
const ERect editorRect = rectOf(panelLayout::kPanelRect);

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

// The interface hands hosts a pointer to a writable rectangle; they only
// read it.
int32_t CompressorEditor::getRect(ERect** rect) {
    if (rect) *rect = const_cast<ERect*>(&editorRect);
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
    if (updateFlag.exchange(0) == 0) return;
    update();
}

void CompressorEditor::update() { updateControls(); }
