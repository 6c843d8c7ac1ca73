#include "gui/GainMeter.h"

#include "engine/CompressorEngine.h"
#include "gui/FilmstripBitmap.h"
#include "gui/WindowSupport.h"
#include "engine/Allocation.h"

namespace {

const PixelRect kLatencyWindowRect = {100, 100, 200, 200};
const char* const kLatencyWindowTitle = "Set VU-meter latency";
const char* const kLatencyWindowClass = "LatencyWindowClass";

}  // namespace

GainMeter::GainMeter(CompressorEngine* engine, int32_t channel, int32_t bitmapId, const PixelRect& rect)
    : engine(engine), bitmap(allocateObject<FilmstripBitmap>(bitmapId, rect)), channel(channel) {}

GainMeter::~GainMeter() { delete bitmap; }

void GainMeter::draw() {
    const float value = engine->getVu(channel);
    if (window.load(std::memory_order_relaxed) && bitmap) bitmap->setValue(value);
}

void GainMeter::update() {
    const float value = engine->getVu(channel);
    if (window.load(std::memory_order_relaxed) && bitmap) bitmap->setValueIfChanged(value);
}

void GainMeter::setWindow(HWND newWindow) {
    window.store(newWindow, std::memory_order_relaxed);
    if (bitmap) bitmap->setWindow(newWindow);
}

void GainMeter::onMouseDown(int32_t x, int32_t y) {
    if (!bitmap || !bitmap->hitTestRect(x, y)) return;
    if (latencyWindowOpen) return;
    createPopupWindow(window.load(std::memory_order_relaxed), kLatencyWindowRect, kLatencyWindowTitle,
                      &latencyWindow, kLatencyWindowClass);
}

void GainMeter::idle() {}
