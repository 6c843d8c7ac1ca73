// The compressor's user interface: it creates, lays out, owns and drives
// every control, shows them in a child window of the host's window, and
// follows the engine as its listener.
//
// The window procedure calls draw, onKey and onMouseDown on the user-interface
// thread; the engine calls updateMeter from the audio thread, at any time.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/CompressorListener.h"
#include "gui/PixelGeometry.h"
#include "gui/WindowClient.h"

class AboutBox;
class ButtonGroup;
class CompressorEngine;
class FilmstripBitmap;
class FrameDisplay;
class GainMeter;
class ParamButton;
class ParamKnob;

// Open panels in the process; the window classes are registered while it is
// above zero. Guarded by windowClassLock.
extern int32_t panelClassUsers;

// Unregisters the editor's window classes wherever the counts stand: a
// library that is unloaded must not leave a class whose procedure lies in
// its image.
void unregisterEditorWindowClasses();

class CompressorPanel : public CompressorListener, public WindowClient {
public:
    // Registers the panel as the engine's listener.
    explicit CompressorPanel(CompressorEngine* engine);
    CompressorPanel(const CompressorPanel&) = delete;
    CompressorPanel& operator=(const CompressorPanel&) = delete;

    // Creates every control; 0 when all were allocated, 1 otherwise.
    int32_t buildControls();
    void destroyControls();
    PixelRect getRect() const { return panelRect; }
    // Creates the child window in parent and attaches every control to it.
    // An open panel is closed first.
    void open(HWND parent);
    // Destroys the child window and the about popup, so that the host's
    // window holds nothing of ours; the last panel to close unregisters the
    // window classes. A panel that is not open ignores it.
    void close();
    bool isOpen() const { return opened; }
    void idle() {}

    void draw() override;
    void onKey(int32_t keyCode) override;
    // Offers the press to every control in a fixed order; each makes its own
    // hit test, and a knob or button that takes it begins a hold, which the
    // window's later mouse messages carry on after this returns.
    void onMouseDown(int32_t x, int32_t y) override;
    void updateControls() override;
    void updateMeter() override;
    void windowDestroyed() override;

    HWND getChildWindow() const { return childWindow; }
    const GainMeter* getGainMeter() const { return gainMeter; }
    const AboutBox* getAboutBox() const { return aboutBox; }
    const ButtonGroup* getButtonGroup() const { return buttonGroup; }
    const ParamButton* getPowerButton() const { return powerButton; }
    const FrameDisplay* getPowerLed() const { return powerLed; }
    // The five knobs in parameter order: ratio, threshold, attack, release, make-up gain.
    const ParamKnob* getKnob(int32_t parameterIndex) const;

protected:
    ~CompressorPanel() = default;

private:
    CompressorEngine* engine;
    FilmstripBitmap* background = nullptr;
    ButtonGroup* buttonGroup = nullptr;
    AboutBox* aboutBox = nullptr;
    FrameDisplay* powerLed = nullptr;
    ParamButton* powerButton = nullptr;
    ParamKnob* ratioKnob = nullptr;
    ParamKnob* thresholdKnob = nullptr;
    ParamKnob* attackKnob = nullptr;
    ParamKnob* releaseKnob = nullptr;
    ParamKnob* makeupKnob = nullptr;
    GainMeter* gainMeter = nullptr;
    bool ownsChildWindow() const;
    void acquireWindowClasses();
    void releaseWindowClasses();
    void attachControls(HWND window);

    PixelRect panelRect = {0, 0, 0, 0};
    HWND childWindow = nullptr;
    bool opened = false;
};
