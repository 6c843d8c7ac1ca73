#include "gui/FrameDisplay.h"

#include "engine/Allocation.h"
#include "gui/FilmstripBitmap.h"

FrameDisplay::FrameDisplay(int32_t bitmapId, const PixelRect& rect)
    : bitmap(allocateObject<FilmstripBitmap>(bitmapId, rect)) {}

FrameDisplay::~FrameDisplay() { delete bitmap; }

void FrameDisplay::draw(float value) {
    if (bitmap) bitmap->setValue(value);
}

void FrameDisplay::update(float value) {
    if (bitmap) bitmap->setValueIfChanged(value);
}

void FrameDisplay::setWindow(HWND window) {
    if (bitmap) bitmap->setWindow(window);
}
