#include "gui/GainMeter.h"

#include "engine/Allocation.h"
#include "engine/CompressorEngine.h"
#include "gui/FilmstripBitmap.h"
#include "gui/WindowSupport.h"

namespace {

const PixelRect kLatencyWindowRect = {100, 100, 200, 200};
const char* const kLatencyWindowTitle = "Set VU-meter latency";
const char* const kLatencyWindowClass = "LatencyWindowClass";

}  // namespace

GainMeter::GainMeter(CompressorEngine* engine, int32_t channel, int32_t bitmapId, const PixelRect& rect)
    : engine(engine), bitmap(allocateObject<FilmstripBitmap>(bitmapId, rect)), channel(channel) {}

GainMeter::~GainMeter() { delete bitmap; }

void GainMeter::draw() { showLatestValue(Redraw::Always); }

void GainMeter::update() { showLatestValue(Redraw::IfChanged); }

// The requests and the drawing flag are sequentially consistent: a thread
// that counts its request and then finds the flag taken is certain that the
// drawing thread, which drops the flag before it reads the count again, sees
// that request.
void GainMeter::showLatestValue(Redraw redraw) {
    if (redraw == Redraw::Always) redrawAll.store(true);
    drawRequests.fetch_add(1);
    while (!drawing.exchange(true)) {
        const uint32_t served = drawRequests.load();
        const bool always = redrawAll.exchange(false);
        const float value = engine->getVu(channel);
        if (window.load(std::memory_order_relaxed) && bitmap) {
            always ? bitmap->setValue(value) : bitmap->setValueIfChanged(value);
        }
        drawing.store(false);
        if (drawRequests.load() == served) return;
    }
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
