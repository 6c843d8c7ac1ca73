// The program row as one control: six program buttons and the display of
// the current program's name, which follows the engine's program position.
#pragma once

#include <windows.h>

#include <cstdint>

class CompressorEngine;
class FrameDisplay;
class ParamButton;

class ButtonGroup {
public:
    static constexpr int32_t kButtonCount = 6;

    // Takes ownership of the buttons (copy, paste, reset, next, previous,
    // preset; any may be null) and of the name display.
    ButtonGroup(CompressorEngine* engine, int32_t paramIndex, ParamButton* const (&buttons)[kButtonCount],
                FrameDisplay* nameDisplay);
    virtual ~ButtonGroup();
    ButtonGroup(const ButtonGroup&) = delete;
    ButtonGroup& operator=(const ButtonGroup&) = delete;

    virtual void draw();
    virtual void update();
    // Every button is offered every press; each makes its own hit test.
    virtual void onMouseDown(int32_t x, int32_t y);
    virtual void setWindow(HWND window);

    const ParamButton* getButton(int32_t index) const { return buttons[index]; }
    const FrameDisplay* getNameDisplay() const { return nameDisplay; }

private:
    CompressorEngine* engine;
    ParamButton* buttons[kButtonCount];
    FrameDisplay* nameDisplay;
    int32_t paramIndex;
};
