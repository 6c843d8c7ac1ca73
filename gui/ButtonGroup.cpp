#include "gui/ButtonGroup.h"

#include "engine/CompressorEngine.h"
#include "gui/FrameDisplay.h"
#include "gui/ParamButton.h"

ButtonGroup::ButtonGroup(CompressorEngine* engine, int32_t paramIndex, ParamButton* const (&members)[kButtonCount],
                         FrameDisplay* nameDisplay)
    : engine(engine), nameDisplay(nameDisplay), paramIndex(paramIndex) {
    for (int32_t i = 0; i < kButtonCount; ++i) buttons[i] = members[i];
}

ButtonGroup::~ButtonGroup() {
    for (ParamButton* button : buttons) delete button;
    delete nameDisplay;
}

void ButtonGroup::draw() {
    const float position = engine->getParameter(paramIndex);
    for (ParamButton* button : buttons) {
        if (button) button->draw();
    }
    if (nameDisplay) nameDisplay->draw(position);
}

void ButtonGroup::update() {
    const float position = engine->getParameter(paramIndex);
    for (ParamButton* button : buttons) {
        if (button) button->update();
    }
    if (nameDisplay) nameDisplay->update(position);
}

void ButtonGroup::onMouseDown(int32_t x, int32_t y) {
    for (ParamButton* button : buttons) {
        if (button) button->onMouseDown(x, y);
    }
}

void ButtonGroup::setWindow(HWND window) {
    for (ParamButton* button : buttons) {
        if (button) button->setWindow(window);
    }
    if (nameDisplay) nameDisplay->setWindow(window);
}
