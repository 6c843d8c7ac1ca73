#include "tools/render/EditorDriver.h"

#include "editor/CompressorPanel.h"
#include "editor/PanelLayout.h"
#include "engine/CompressorEngine.h"
#include "engine/FactoryPrograms.h"
#include "gui/ParamKnob.h"
#include "PngFile.h"
#include "tools/render/EditorReadback.h"
#include "tools/render/KnobDrag.h"
#include "tools/render/KnobTable.h"

namespace {

// A click in the middle of a control: inside its rectangle and its circle.
void clickMiddle(EditorSession& session, const PixelRect& rect) {
    session.click(rect.x + rect.width / 2, rect.y + rect.height / 2);
}

}  // namespace

EditorDriver::EditorDriver(EditorSession& editorSession, const LinkedCompressor& linked)
    : session(editorSession), compressor(linked) {}

PanelState EditorDriver::apply(const EditorSettings& settings) {
    PanelState expected = readPanelState(compressor.engine());
    if (settings.program >= 0) selectProgram(settings.program, expected);
    for (const KnobDescription& knob : kKnobs) {
        if (settings.knobs[knob.index].has_value()) turnKnob(knob.index, *settings.knobs[knob.index], expected);
    }
    if (settings.bypass) switchOff(expected);
    return expected;
}

// Next-program wraps from the last program to the first.
void EditorDriver::selectProgram(int32_t program, PanelState& expected) {
    const int32_t presses = (program - expected.program + kFactoryProgramCount) % kFactoryProgramCount;
    for (int32_t press = 0; press < presses; ++press) clickMiddle(session, panelLayout::kNextButton.rect);
    expected.program = program;
    expected.bypassed = factoryPrograms[program][kPower] != 0.0f;
    for (int32_t index = 0; index < kParameterCount; ++index) expected.parameters[index] = factoryPrograms[program][index];
}

void EditorDriver::turnKnob(ParameterIndex index, float position, PanelState& expected) {
    const KnobDrag drag = planKnobDrag(compressor.panel().getKnob(index)->centre(), position);
    session.drag(drag.path);
    expected.parameters[index] = drag.value;
}

void EditorDriver::switchOff(PanelState& expected) {
    if (expected.bypassed) return;
    clickMiddle(session, panelLayout::kPowerButton.rect);
    expected.bypassed = true;
}

bool setThroughEditor(AEffect* record, const EditorSettings& settings, const std::string& picturePath,
                      std::string& error) {
    const LinkedCompressor compressor(record);
    EditorSession session(record);
    if (!session.isOpen()) {
        error = "cannot open the plug-in's editor";
        return false;
    }
    EditorDriver driver(session, compressor);
    const PanelState expected = driver.apply(settings);
    if (!checkEngineHolds(expected, compressor.engine(), error)) return false;
    // Repainted from the engine's values, so the pictures show what it holds.
    session.repaint();
    const CapturedImage capture = session.capture();
    if (!checkEditorShows(capture, compressor, error)) return false;
    if (!picturePath.empty() && !writePng(capture, picturePath)) {
        error = "cannot write the editor's picture";
        return false;
    }
    return true;
}
