#include "gui/ParamButton.h"

#include "engine/Allocation.h"
#include "engine/CompressorEngine.h"
#include "gui/FilmstripBitmap.h"
#include "gui/FrameDisplay.h"
#include "gui/MouseTracking.h"

namespace {

// The pressed picture is the strip's last frame.
constexpr float kPressedValue = 1.0f;

}  // namespace

ParamButton::ParamButton(CompressorEngine* engine, int32_t paramIndex, int32_t bitmapId, const PixelRect& rect,
                         uint32_t flags, FrameDisplay* display)
    : engine(engine),
      bitmap(allocateObject<FilmstripBitmap>(bitmapId, rect)),
      display(display),
      paramIndex(paramIndex),
      flags(flags) {}

ParamButton::~ParamButton() {
    forgetHold(this);
    delete bitmap;
}

void ParamButton::draw() {
    const float value = shownValue();
    if (bitmap) bitmap->setValue(value);
    if (display) display->draw(value);
}

void ParamButton::update() {
    const float value = shownValue();
    if (bitmap) bitmap->setValueIfChanged(value);
    if (display) display->update(value);
}

void ParamButton::setWindow(HWND window) {
    if (bitmap) bitmap->setWindow(window);
}

// With both hit bits the circle decides; with neither the button never responds.
bool ParamButton::hits(int32_t x, int32_t y) const {
    if (!bitmap) return false;
    if (flags & HitCircle) return bitmap->hitTestCircle(x, y);
    if (flags & HitRect) return bitmap->hitTestRect(x, y);
    return false;
}

// The highest step bit that is set wins; two steps when none applies.
int32_t ParamButton::stepCount() const {
    int32_t steps = 2;
    if ((flags & OneStep) && !(flags & CycleImmediate)) steps = 1;
    if (flags & TwoSteps) steps = 2;
    if (flags & ThreeSteps) steps = 3;
    if (flags & FourSteps) steps = 4;
    return steps;
}

// 0, 1/(n-1), 2/(n-1) ... while the float sum stays at or below 1, then 0.
float ParamButton::steppedAtOnce(float value, int32_t steps) const {
    const float step = 1.0f / static_cast<float>(steps - 1);
    const double sum = static_cast<double>(value) + step;
    if (sum < 0.0) return 1.0f;
    if (sum > 1.0) return 0.0f;
    return static_cast<float>(sum);
}

// 0, 1/n ... (n-1)/n, then 0.
float ParamButton::steppedOnRelease(float value, int32_t steps) const {
    const float step = 1.0f / static_cast<float>(steps);
    const double sum = static_cast<double>(value) + step;
    if (sum < 0.0) return 1.0f - step;
    if (sum > 1.0 - step) return 0.0f;
    return static_cast<float>(sum);
}

void ParamButton::onMouseDown(int32_t x, int32_t y) {
    if (!hits(x, y)) return;
    const int32_t steps = stepCount();
    if (flags & CycleImmediate) {
        engine->beginEdit(paramIndex);
        commit(steppedAtOnce(engine->getParameter(paramIndex), steps));
        engine->endEdit(paramIndex);
    } else if (flags & CycleOnRelease) {
        // The new value is fixed at the press; releasing anywhere completes
        // the click, and the edit the host hears lasts as long as the hold.
        valueOnRelease = steppedOnRelease(engine->getParameter(paramIndex), steps);
        engine->beginEdit(paramIndex);
        beginHold(this);
    }
}

// A repaint or a program change while the button is held must not lift it.
float ParamButton::shownValue() const {
    return showingPressed ? kPressedValue : engine->getParameter(paramIndex);
}

// Redrawn on every pass, as the pointer is not consulted.
void ParamButton::holdPass() {
    showingPressed = true;
    if (bitmap) bitmap->setValue(kPressedValue);
    if (display) display->update(kPressedValue);
}

void ParamButton::holdEnded() {
    showingPressed = false;
    commit(valueOnRelease);
    engine->endEdit(paramIndex);
}

// The engine may redraw the whole panel from inside setParameter (program
// commands do), before the display is updated here.
void ParamButton::commit(float value) {
    if (bitmap) bitmap->setValueIfChanged(value);
    engine->setParameter(paramIndex, value);
    if (display) display->update(value);
}
