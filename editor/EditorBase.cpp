#include "editor/EditorBase.h"

EditorBase::EditorBase(EffectBase* effect) : effect(effect), hostWindow(nullptr), updateFlag(0) {}

EditorBase::~EditorBase() {}

int32_t EditorBase::getRect(ERect** rect) {
    if (rect) *rect = nullptr;
    return 0;
}

int32_t EditorBase::open(HWND parent) {
    hostWindow = parent;
    return 0;
}

void EditorBase::close() {}

// The flag is cleared first, so an update posted while this one runs is kept
// for the next idle.
void EditorBase::idle() {
    if (updateFlag.exchange(0) != 0) update();
}

void EditorBase::update() {}

void EditorBase::postUpdate() { updateFlag.store(1); }
