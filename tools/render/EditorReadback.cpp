#include "tools/render/EditorReadback.h"

#include <cstdio>

#include "editor/CompressorPanel.h"
#include "editor/PanelLayout.h"
#include "engine/CompressorEngine.h"
#include "engine/FactoryPrograms.h"
#include "gui/ButtonGroup.h"
#include "gui/FilmstripBitmap.h"
#include "gui/FrameDisplay.h"
#include "gui/ParamButton.h"
#include "gui/ParamKnob.h"
#include "tools/render/BitmapStrip.h"
#include "tools/render/KnobTable.h"

namespace {

const char kDidNotTake[] = ": the setting did not take";

std::string valueText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string programText(int32_t program) {
    if (program < 0 || program >= kFactoryProgramCount) return "program " + std::to_string(program);
    return "program " + std::to_string(program) + " '" + factoryProgramNames[program] + "'";
}

const ControlLayout& knobLayout(ParameterIndex index) {
    using namespace panelLayout;
    switch (index) {
    case kRatio: return kRatioKnob;
    case kThreshold: return kThresholdKnob;
    case kAttack: return kAttackKnob;
    case kRelease: return kReleaseKnob;
    default: return kMakeUpKnob;
    }
}

// One picture on the panel and the value it should show.
struct ShownControl {
    std::string name;
    int32_t bitmapId;
    const FilmstripBitmap* bitmap;  // the control's own, for its rectangle and frame rule
    float value;
};

bool checkShown(const CapturedImage& capture, const ShownControl& control, std::string& error) {
    if (control.bitmap == nullptr) {
        error = "the editor has no " + control.name;
        return false;
    }
    const PixelRect& rect = control.bitmap->getRect();
    const BitmapStrip strip(control.bitmapId, rect.width);
    if (strip.empty()) {
        error = "cannot read the picture strip of the " + control.name;
        return false;
    }
    const int32_t wanted = control.bitmap->frameFor(control.value);
    if (strip.shows(capture, rect, wanted)) return true;
    const int32_t shown = strip.frameShown(capture, rect);
    error = "the editor shows the " + control.name + " " +
            (shown < 0 ? std::string("in none of its pictures") : "at frame " + std::to_string(shown)) +
            " where " + valueText(control.value) + " calls for frame " + std::to_string(wanted) + " of " +
            std::to_string(strip.frameCount()) + kDidNotTake;
    return false;
}

}  // namespace

bool checkEngineHolds(const PanelState& expected, CompressorEngine& engine, std::string& error) {
    const PanelState held = readPanelState(engine);
    if (held.program != expected.program) {
        error = "the editor selected " + programText(held.program) + ", not " + programText(expected.program) +
                kDidNotTake;
        return false;
    }
    if (held.bypassed != expected.bypassed) {
        error = std::string("the power switch is ") + (held.bypassed ? "off" : "on") + ", not " +
                (expected.bypassed ? "off" : "on") + kDidNotTake;
        return false;
    }
    for (const KnobDescription& knob : kKnobs) {
        if (held.parameters[knob.index] != expected.parameters[knob.index]) {
            error = std::string("the ") + knob.name + " knob holds " + valueText(held.parameters[knob.index]) +
                    ", not " + valueText(expected.parameters[knob.index]) + kDidNotTake;
            return false;
        }
    }
    return true;
}

bool checkEditorShows(const CapturedImage& capture, const LinkedCompressor& compressor, std::string& error) {
    if (capture.empty()) {
        error = "cannot capture the editor's window";
        return false;
    }
    using namespace panelLayout;
    CompressorEngine& engine = compressor.engine();
    const CompressorPanel& panel = compressor.panel();
    const float power = engine.getParameter(kPower);
    const ButtonGroup* programRow = panel.getButtonGroup();
    const FrameDisplay* nameDisplay = programRow ? programRow->getNameDisplay() : nullptr;
    const ParamButton* powerButton = panel.getPowerButton();
    const FrameDisplay* powerLed = panel.getPowerLed();

    std::vector<ShownControl> controls = {
        {"power switch", kPowerButton.bitmapId, powerButton ? powerButton->getBitmap() : nullptr, power},
        {"power LED", kPowerLed.bitmapId, powerLed ? powerLed->getBitmap() : nullptr, power},
        {"program name", kProgramName.bitmapId, nameDisplay ? nameDisplay->getBitmap() : nullptr,
         engine.getParameter(kProgramPosition)},
    };
    for (const KnobDescription& knob : kKnobs) {
        const ParamKnob* control = panel.getKnob(knob.index);
        controls.push_back({std::string(knob.name) + " knob", knobLayout(knob.index).bitmapId,
                            control ? control->getBitmap() : nullptr, engine.getParameter(knob.index)});
    }
    for (const ShownControl& control : controls) {
        if (!checkShown(capture, control, error)) return false;
    }
    return true;
}
