#include "gui/FilmstripBitmap.h"

#include <cmath>

#include "host/ModuleInstance.h"

FilmstripBitmap::FilmstripBitmap(int32_t resourceId, const PixelRect& rect) : rect(rect) {
    load(resourceId);
    frameCount = countFrames();
}

FilmstripBitmap::~FilmstripBitmap() { unload(); }

int32_t FilmstripBitmap::frameFor(float value) const {
    const int32_t lastFrame = frameCount > 0 ? frameCount - 1 : 0;
    const double position = static_cast<double>(frameCount - 1) * static_cast<double>(value) + 0.5;
    if (!(position >= 0.0)) return 0;
    if (position >= static_cast<double>(lastFrame)) return lastFrame;
    return static_cast<int32_t>(position);
}

void FilmstripBitmap::setValue(float value) {
    const int32_t frame = frameFor(value);
    currentFrame.store(frame, std::memory_order_relaxed);
    show(frame);
}

void FilmstripBitmap::setValueIfChanged(float value) {
    const int32_t frame = frameFor(value);
    currentFrame.store(frame, std::memory_order_relaxed);
    if (shownFrame.load(std::memory_order_relaxed) == frame) return;
    show(frame);
}

void FilmstripBitmap::show(int32_t frame) {
    const bool drawn = drawFrame(frame * rect.width);
    shownFrame.store(drawn ? frame : kNoFrame, std::memory_order_relaxed);
}

bool FilmstripBitmap::hitTestRect(int32_t px, int32_t py) const {
    return rect.x <= px && px <= rect.x + rect.width && rect.y <= py && py <= rect.y + rect.height;
}

// The offsets are truncated toward zero, so points left of or above the
// centre come out one pixel closer than the same points right or below.
bool FilmstripBitmap::hitTestCircle(int32_t px, int32_t py) const {
    const int32_t dx = static_cast<int32_t>(px - (rect.x + rect.width * 0.5) + 0.5);
    const int32_t dy = static_cast<int32_t>(py - (rect.y + rect.height * 0.5) + 0.5);
    // Wide enough for any pair of 16-bit mouse coordinates.
    const int64_t squared = static_cast<int64_t>(dx) * dx + static_cast<int64_t>(dy) * dy;
    const double distance = std::sqrt(static_cast<double>(squared));
    return (rect.width + rect.height) * 0.5 * 0.5 >= distance;
}

void FilmstripBitmap::setWindow(HWND newWindow) { window.store(newWindow, std::memory_order_relaxed); }

void FilmstripBitmap::load(int32_t resourceId) {
    if (!moduleInstance) return;
    bitmapHandle = LoadBitmapA(moduleInstance, MAKEINTRESOURCEA(resourceId & 0xFFFF));
}

void FilmstripBitmap::unload() {
    if (!bitmapHandle) return;
    DeleteObject(bitmapHandle);
    bitmapHandle = nullptr;
}

// A bitmap can be selected into one device context at a time: while another
// context holds it, the select fails and there is nothing to copy from.
bool FilmstripBitmap::drawFrame(int32_t sourceX) {
    const HWND target = window.load(std::memory_order_relaxed);
    if (!bitmapHandle || !target) return false;
    HDC windowContext = GetDC(target);
    if (!windowContext) return false;
    bool drawn = false;
    if (HDC stripContext = CreateCompatibleDC(windowContext)) {
        if (HGDIOBJ previous = SelectObject(stripContext, bitmapHandle)) {
            drawn = BitBlt(windowContext, rect.x, rect.y, rect.width, rect.height, stripContext, sourceX, 0,
                           SRCCOPY) != FALSE;
            SelectObject(stripContext, previous);
        }
        DeleteDC(stripContext);
    }
    ReleaseDC(target, windowContext);
    return drawn;
}

// Whole frames only; a rectangle without width has none.
int32_t FilmstripBitmap::countFrames() {
    if (!bitmapHandle || rect.width <= 0) return 0;
    BITMAP description = {};
    if (!GetObjectA(bitmapHandle, sizeof(description), &description)) return 0;
    return description.bmWidth / rect.width;
}
