#include "PanelPicture.h"

#include "StripPictures.h"
#include "editor/PanelLayout.h"

namespace {

void drawFrame(CapturedImage& panel, const ControlLayout& control, int32_t frame) {
    paste(panel, Filmstrip::of(control.bitmapId, control.rect.width).frame(frame), control.rect.x, control.rect.y);
}

}  // namespace

CapturedImage composePanel(const PanelFrames& frames) {
    using namespace panelLayout;
    CapturedImage panel = Filmstrip::of(kBackground.bitmapId, kBackground.rect.width).frame(0);
    for (const ControlLayout* button :
         {&kCopyButton, &kPasteButton, &kResetButton, &kNextButton, &kPreviousButton, &kPresetButton})
        drawFrame(panel, *button, button->index == frames.pressedCommand ? 1 : 0);
    drawFrame(panel, kProgramName, frames.programName);
    drawFrame(panel, kPowerButton, frames.powerButton);
    drawFrame(panel, kPowerLed, frames.powerLed);
    const ControlLayout* knobs[] = {&kRatioKnob, &kThresholdKnob, &kAttackKnob, &kReleaseKnob, &kMakeUpKnob};
    for (int i = 0; i < 5; ++i) drawFrame(panel, *knobs[i], frames.knobs[i]);
    drawFrame(panel, kGainMeter, frames.meter);
    return panel;
}
