#include "editor/CompressorPanel.h"

#include "editor/AboutBox.h"
#include "editor/PanelLayout.h"
#include "engine/Allocation.h"
#include "engine/CompressorEngine.h"
#include "gui/ButtonGroup.h"
#include "gui/FilmstripBitmap.h"
#include "gui/FrameDisplay.h"
#include "gui/GainMeter.h"
#include "gui/ParamButton.h"
#include "gui/ParamKnob.h"
#include "gui/WindowSupport.h"

int32_t panelClassUsers = 0;

namespace {

// Both classes go and their counts start again; windowClassLock is held.
void unregisterWindowClassesLocked() {
    unregisterWindowClass();
    unregisterModuleWindowClass(kAboutBoxWindowClass);
    panelClassUsers = 0;
    aboutClassOpens = 0;
}

}  // namespace

void unregisterEditorWindowClasses() {
    ThreadLockGuard guard(windowClassLock());
    unregisterWindowClassesLocked();
}

namespace {

ParamButton* createButton(CompressorEngine* engine, const ControlLayout& layout, FrameDisplay* display) {
    return allocateObject<ParamButton>(engine, layout.index, layout.bitmapId, layout.rect, layout.flags, display);
}

ParamKnob* createKnob(CompressorEngine* engine, const ControlLayout& layout) {
    return allocateObject<ParamKnob>(engine, layout.index, layout.bitmapId, layout.rect, nullptr);
}

template <class Control>
void deleteControl(Control*& control) {
    delete control;
    control = nullptr;
}

}  // namespace

CompressorPanel::CompressorPanel(CompressorEngine* engine) : engine(engine) { engine->setListener(this); }

// Rows in layout order, each its own allocation; a failed one leaves its
// field null and the rest are still built. The program row belongs to the
// button group, which tolerates missing members.
int32_t CompressorPanel::buildControls() {
    using namespace panelLayout;
    panelRect = kPanelRect;
    ParamButton* const programButtons[ButtonGroup::kButtonCount] = {
        createButton(engine, kCopyButton, nullptr),     createButton(engine, kPasteButton, nullptr),
        createButton(engine, kResetButton, nullptr),    createButton(engine, kNextButton, nullptr),
        createButton(engine, kPreviousButton, nullptr), createButton(engine, kPresetButton, nullptr),
    };
    FrameDisplay* programName = allocateObject<FrameDisplay>(kProgramName.bitmapId, kProgramName.rect);
    background = allocateObject<FilmstripBitmap>(kBackground.bitmapId, kBackground.rect);
    buttonGroup = allocateObject<ButtonGroup>(engine, kButtonGroupIndex, programButtons, programName);
    if (!buttonGroup) {
        for (ParamButton* button : programButtons) delete button;
        delete programName;
    }
    aboutBox = allocateObject<AboutBox>(kAboutHotZone.rect, kAboutHotZone.bitmapId, kAboutPictureRect, kAboutTitle);
    powerLed = allocateObject<FrameDisplay>(kPowerLed.bitmapId, kPowerLed.rect);
    powerButton = createButton(engine, kPowerButton, powerLed);
    thresholdKnob = createKnob(engine, kThresholdKnob);
    ratioKnob = createKnob(engine, kRatioKnob);
    attackKnob = createKnob(engine, kAttackKnob);
    releaseKnob = createKnob(engine, kReleaseKnob);
    makeupKnob = createKnob(engine, kMakeUpKnob);
    gainMeter = allocateObject<GainMeter>(engine, kGainMeter.index, kGainMeter.bitmapId, kGainMeter.rect);

    const bool complete = background && buttonGroup && aboutBox && powerLed && powerButton && ratioKnob &&
                          thresholdKnob && attackKnob && releaseKnob && makeupKnob && gainMeter;
    return complete ? 0 : 1;
}

void CompressorPanel::destroyControls() {
    deleteControl(background);
    deleteControl(buttonGroup);
    deleteControl(aboutBox);
    deleteControl(powerLed);
    deleteControl(powerButton);
    deleteControl(ratioKnob);
    deleteControl(thresholdKnob);
    deleteControl(attackKnob);
    deleteControl(releaseKnob);
    deleteControl(makeupKnob);
    deleteControl(gainMeter);
}

void CompressorPanel::open(HWND parent) {
    if (opened) close();
    opened = true;
    acquireWindowClasses();
    createChildWindow(this, parent, &childWindow, panelRect);
    attachControls(childWindow);
}

void CompressorPanel::attachControls(HWND window) {
    if (background) background->setWindow(window);
    if (buttonGroup) buttonGroup->setWindow(window);
    if (aboutBox) aboutBox->setParentWindow(window);
    if (powerLed) powerLed->setWindow(window);
    if (powerButton) powerButton->setWindow(window);
    for (ParamKnob* knob : {ratioKnob, thresholdKnob, attackKnob, releaseKnob, makeupKnob}) {
        if (knob) knob->setWindow(window);
    }
    if (gainMeter) gainMeter->setWindow(window);
}

// Hosts reopen the editor into the same window, close in any order and from
// any thread, and unload the library: nothing of ours may stay in their
// window. The panel lets go of its windows first, so that nothing of it
// answers them once a close from another thread has asked their own thread to
// destroy them. The window goes before the class, which cannot be
// unregistered while a window of it exists.
void CompressorPanel::close() {
    if (!opened) return;
    opened = false;
    if (aboutBox && aboutBox->isPopupOpen()) aboutBox->close();
    const HWND window = ownsChildWindow() ? childWindow : nullptr;
    windowDestroyed();
    if (window) destroyWindow(window);
    releaseWindowClasses();
}

// The audio thread keeps updating the meter; a window that is gone may soon
// be somebody else's.
void CompressorPanel::windowDestroyed() {
    if (ownsChildWindow()) setWindowClient(childWindow, nullptr);
    childWindow = nullptr;
    attachControls(nullptr);
}

// A handle the host's window took along may since name another's window.
bool CompressorPanel::ownsChildWindow() const {
    return childWindow && IsWindow(childWindow) && windowClientOf(childWindow) == this;
}

void CompressorPanel::acquireWindowClasses() {
    ThreadLockGuard guard(windowClassLock());
    if (++panelClassUsers == 1) registerWindowClass();
}

void CompressorPanel::releaseWindowClasses() {
    ThreadLockGuard guard(windowClassLock());
    if (panelClassUsers > 0 && --panelClassUsers > 0) return;
    unregisterWindowClassesLocked();
}

void CompressorPanel::draw() {
    if (background) background->setValue(0.0f);
    if (buttonGroup) buttonGroup->draw();
    if (powerButton) powerButton->draw();  // paints the power LED too
    for (ParamKnob* knob : {ratioKnob, thresholdKnob, attackKnob, releaseKnob, makeupKnob}) {
        if (knob) knob->draw();
    }
    if (gainMeter) gainMeter->draw();
}

void CompressorPanel::updateControls() {
    if (buttonGroup) buttonGroup->update();
    if (powerButton) powerButton->update();
    for (ParamKnob* knob : {ratioKnob, thresholdKnob, attackKnob, releaseKnob, makeupKnob}) {
        if (knob) knob->update();
    }
    if (gainMeter) gainMeter->update();
}

void CompressorPanel::onMouseDown(int32_t x, int32_t y) {
    if (buttonGroup) buttonGroup->onMouseDown(x, y);
    if (powerButton) powerButton->onMouseDown(x, y);
    for (ParamKnob* knob : {ratioKnob, thresholdKnob, attackKnob, releaseKnob, makeupKnob}) {
        if (knob) knob->onMouseDown(x, y);
    }
    if (gainMeter) gainMeter->onMouseDown(x, y);
    if (aboutBox) aboutBox->onMouseDown(x, y);
}

void CompressorPanel::onKey(int32_t) {}

void CompressorPanel::updateMeter() {
    if (gainMeter) gainMeter->update();
}

const ParamKnob* CompressorPanel::getKnob(int32_t parameterIndex) const {
    switch (parameterIndex) {
    case kRatio: return ratioKnob;
    case kThreshold: return thresholdKnob;
    case kAttack: return attackKnob;
    case kRelease: return releaseKnob;
    case kMakeUpGain: return makeupKnob;
    default: return nullptr;
    }
}
