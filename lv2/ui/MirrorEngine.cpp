#include "lv2/ui/MirrorEngine.h"

namespace {

// The sound does not depend on the rate this engine is built with: only its
// meter's interval would, and its meter shows the plug-in's values.
constexpr float kAnyRate = 44100.0f;

}  // namespace

MirrorEngine::MirrorEngine(Edits& edits) : CompressorEngine(kAnyRate, 0), edits(edits) {}

// A program command loads its values through this same operation, so each
// value it changes is reported before the row's new state.
void MirrorEngine::setParameter(int32_t index, float value) {
    CompressorEngine::setParameter(index, value);
    if (index >= 0 && index < kParameterCount) {
        edits.valueEdited(index, value);
    } else if (index >= kResetCommand && index <= kPreviousCommand) {
        edits.rowChanged();
    }
}

void MirrorEngine::takeHostValue(int32_t index, float value) {
    if (index >= 0 && index < kParameterCount) CompressorEngine::setParameter(index, value);
}
