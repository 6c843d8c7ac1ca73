#include "lv2/ui/MirrorEngine.h"

namespace {

// The sound does not depend on the rate this engine is built with: only its
// meter's interval would, and its meter shows the plug-in's values.
constexpr float kAnyRate = 44100.0f;

}  // namespace

MirrorEngine::MirrorEngine(Row& row) : CompressorEngine(kAnyRate, 0), row(row) {}

// The observer has heard of each value the command moved by now, so the
// row's new state follows them.
void MirrorEngine::setParameter(int32_t index, float value) {
    CompressorEngine::setParameter(index, value);
    if (index >= kResetCommand && index <= kPreviousCommand) row.rowChanged();
}
