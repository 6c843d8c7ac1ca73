// The compressor panel's fixed layout: every control's rectangle in the
// panel's child window, with its bitmap, its parameter or command index and
// its behaviour flags, in the order the panel builds them.
#pragma once

#include <cstdint>

#include "engine/ParameterIndex.h"
#include "gui/ParamButton.h"
#include "gui/PixelGeometry.h"

struct ControlLayout {
    int32_t index;     // parameter, command or meter channel; -1 for none
    int32_t bitmapId;
    PixelRect rect;
    uint32_t flags;    // ParamButton flags
};

namespace panelLayout {

constexpr PixelRect kPanelRect = {0, 0, 304, 119};

constexpr uint32_t kProgramButtonFlags = ParamButton::HitRect | ParamButton::OneStep | ParamButton::CycleOnRelease;
constexpr uint32_t kPowerSwitchFlags = ParamButton::HitCircle | ParamButton::TwoSteps | ParamButton::CycleOnRelease;
static_assert(kProgramButtonFlags == 134 && kPowerSwitchFlags == 74, "button behaviours");

// The program row along the bottom, left to right: copy, paste, preset,
// program name, previous, next, reset.
constexpr ControlLayout kCopyButton = {kCopyCommand, 134, {0, 99, 40, 20}, kProgramButtonFlags};
constexpr ControlLayout kPasteButton = {kPasteCommand, 135, {40, 99, 40, 20}, kProgramButtonFlags};
constexpr ControlLayout kResetButton = {kResetCommand, 136, {264, 99, 40, 20}, kProgramButtonFlags};
constexpr ControlLayout kNextButton = {kNextCommand, 137, {244, 99, 20, 20}, kProgramButtonFlags};
constexpr ControlLayout kPreviousButton = {kPreviousCommand, 138, {224, 99, 20, 20}, kProgramButtonFlags};
constexpr ControlLayout kPresetButton = {kRefreshCommand, 140, {80, 99, 40, 20}, kProgramButtonFlags};
constexpr ControlLayout kProgramName = {-1, 139, {120, 99, 104, 20}, 0};

constexpr ControlLayout kBackground = {-1, 129, kPanelRect, 0};
constexpr int32_t kButtonGroupIndex = kProgramPosition;

// The about box's hot zone sits over the name plate; its picture fills the popup.
constexpr ControlLayout kAboutHotZone = {-1, 133, {204, 72, 94, 21}, 0};
constexpr PixelRect kAboutPictureRect = {0, 0, 268, 280};
constexpr const char* kAboutTitle = "";

constexpr ControlLayout kPowerLed = {-1, 131, {20, 49, 7, 15}, 0};
constexpr ControlLayout kPowerButton = {kPower, 130, {27, 20, 29, 29}, kPowerSwitchFlags};
constexpr ControlLayout kThresholdKnob = {kThreshold, 132, {108, 20, 44, 44}, 0};
constexpr ControlLayout kRatioKnob = {kRatio, 132, {64, 20, 44, 44}, 0};
constexpr ControlLayout kAttackKnob = {kAttack, 132, {152, 20, 44, 44}, 0};
constexpr ControlLayout kReleaseKnob = {kRelease, 132, {196, 20, 44, 44}, 0};
constexpr ControlLayout kMakeUpKnob = {kMakeUpGain, 132, {240, 20, 44, 44}, 0};
constexpr ControlLayout kGainMeter = {0, 128, {20, 74, 115, 9}, 0};

}  // namespace panelLayout
