#include "gui/ParamKnob.h"

#include <cmath>

#include "engine/Allocation.h"
#include "engine/CompressorEngine.h"
#include "gui/FilmstripBitmap.h"
#include "gui/FrameDisplay.h"
#include "gui/MouseTracking.h"

namespace {

const double kPi = 4.0 * std::atan(1.0);

}  // namespace

ParamKnob::ParamKnob(CompressorEngine* engine, int32_t paramIndex, int32_t bitmapId, const PixelRect& rect,
                     FrameDisplay* display)
    : engine(engine),
      bitmap(allocateObject<FilmstripBitmap>(bitmapId, rect)),
      display(display),
      bounds(rect),
      paramIndex(paramIndex) {}

ParamKnob::~ParamKnob() {
    forgetHold(this);
    delete bitmap;
}

void ParamKnob::draw() {
    const float value = engine->getParameter(paramIndex);
    if (bitmap) bitmap->setValue(value);
    if (display) display->draw(value);
}

void ParamKnob::update() {
    const float value = engine->getParameter(paramIndex);
    if (bitmap) bitmap->setValueIfChanged(value);
    if (display) display->update(value);
}

void ParamKnob::setWindow(HWND window) {
    if (bitmap) bitmap->setWindow(window);
}

PixelPoint ParamKnob::centre() const {
    return PixelPoint{static_cast<int32_t>(bounds.x + bounds.width * 0.5 + 0.5),
                      static_cast<int32_t>(bounds.y + bounds.height * 0.5 + 0.5)};
}

// atan2 takes the horizontal offset first: h runs from 0 straight below the
// centre, through pi straight above, to 2 pi. The 90 degrees at the bottom
// give 0 left of the vertical and 1 right of it.
float ParamKnob::valueForOffset(int32_t dx, int32_t dy) {
    const double h = std::atan2(static_cast<double>(dx), static_cast<double>(dy)) + kPi;
    const double raw = h <= kPi ? 1.0 - h / (0.75 * kPi) : 2.0 - (h - 1.25 * kPi) / (0.75 * kPi);
    const double t = raw * 0.5;
    if (t < 0.0) return 0.0f;
    if (t > 1.0) return 1.0f;
    return static_cast<float>(t);
}

void ParamKnob::onMouseDown(int32_t x, int32_t y) {
    if (!bitmap || !bitmap->hitTestCircle(x, y)) return;
    engine->beginEdit(paramIndex);
    beginHold(this);
}

// The parameter is written on every pass; the picture only changes with its frame.
void ParamKnob::holdPass() {
    const PixelPoint pointer = getMousePosition();
    const PixelPoint middle = centre();
    const float value = valueForOffset(pointer.x - middle.x, pointer.y - middle.y);
    engine->setParameter(paramIndex, value);
    bitmap->setValueIfChanged(value);
    if (display) display->update(value);
}

// The value of the last pass stands.
void ParamKnob::holdEnded() { engine->endEdit(paramIndex); }
